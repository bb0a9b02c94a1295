// The panel-form checks, on form text alone.
#include <gtest/gtest.h>

#include <QFile>

#include "controls_panel.h"
#include "gui_runtime.h"
#include "panel_form.h"

namespace {

QByteArray readForm(const std::string& name) {
  QFile file(QString::fromStdString(controls_panel::formPath(name)));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return file.readAll();
}

QString prop(const QString& name, const QString& type, const QString& value) {
  return QStringLiteral("<property name=\"%1\" stdset=\"0\"><%2>%3</%2></property>").arg(name, type, value);
}

QString widget(const QString& cls, const QString& name, const QString& properties) {
  return QStringLiteral("<item><widget class=\"%1\" name=\"%2\">%3</widget></item>").arg(cls, name, properties);
}

const QString kQuit = widget("QPushButton", "quitButton", prop("ctrlId", "number", "2"));
const QString kPanelProperties = prop("panelId", "number", "1") + prop("closeCtrl", "number", "2");

QByteArray panel(const QString& items, const QString& panelProperties = kPanelProperties) {
  return QStringLiteral(
             "<?xml version=\"1.0\"?><ui version=\"4.0\"><widget class=\"QWidget\" name=\"panel\">%1"
             "<layout class=\"QVBoxLayout\" name=\"layout\">%2</layout></widget></ui>")
      .arg(panelProperties, items)
      .toUtf8();
}

QString timer(const QString& properties) {
  return widget("PanelTimer", "pollTimer", prop("ctrlId", "number", "7") + properties);
}

TEST(runtimeForm, AcceptsEveryKindOfControl) {
  QString error;
  const std::optional<PanelForm> form = ParsePanelForm(readForm("controls.ui"), &error);
  ASSERT_TRUE(form) << error.toStdString();
  EXPECT_EQ(form->panelId, 1);
  EXPECT_EQ(form->closeCtrl, controls_panel::kQuit);

  struct Expected {
    int id;
    const char* objectName;
    const char* className;
    int kind;
    int dataType;
  };
  // In the form's order; labels and the group box are decoration.
  const Expected expected[] = {
      {4, "stepsInput", "QSpinBox", CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER},
      {5, "speedInput", "QDoubleSpinBox", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE},
      {6, "homeCheck", "QCheckBox", CTRL_KIND_CHECK_BOX, VAL_INTEGER},
      {7, "busyLed", "Led", CTRL_KIND_LED, VAL_INTEGER},
      {8, "statusWord", "NumericIndicator", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER},
      {9, "positionIndicator", "NumericIndicator", CTRL_KIND_NUMERIC_INDICATOR, VAL_DOUBLE},
      {12, "pointCount", "QSpinBox", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER},
      {13, "label", "QLineEdit", CTRL_KIND_TEXT_INPUT, VAL_STRING},
      {14, "choices", "QListWidget", CTRL_KIND_LIST, VAL_STRING},
      {11, "pollTimer", "PanelTimer", CTRL_KIND_TIMER, VAL_NO_TYPE},
      {10, "scanProgress", "QProgressBar", CTRL_KIND_PROGRESS, VAL_DOUBLE},
      {3, "startButton", "QPushButton", CTRL_KIND_COMMAND_BUTTON, VAL_NO_TYPE},
      {2, "quitButton", "QPushButton", CTRL_KIND_COMMAND_BUTTON, VAL_NO_TYPE},
  };
  ASSERT_EQ(form->controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const PanelFormControl& c = form->controls[i];
    SCOPED_TRACE(expected[i].objectName);
    EXPECT_EQ(c.id, expected[i].id);
    EXPECT_EQ(c.objectName, expected[i].objectName);
    EXPECT_EQ(c.className, expected[i].className);
    EXPECT_EQ(c.kind, expected[i].kind);
    EXPECT_EQ(c.dataType, expected[i].dataType);
  }
  const PanelFormControl& pollTimer = form->controls[9];
  EXPECT_EQ(pollTimer.interval, 1.0);
  EXPECT_FALSE(pollTimer.enabled);
  EXPECT_EQ(pollTimer.callback, "onTick");
}

TEST(runtimeForm, RefusesBrokenForms) {
  const QString callback = prop("callback", "string", "onTick");
  const struct {
    const char* fault;
    QByteArray xml;
    const char* error;
  } cases[] = {
      {"not XML", "<ui><widget", "not well-formed XML"},
      {"not a form", "<?xml version=\"1.0\"?><html><body/></html>", "not a .ui form: its root element is <html>"},
      {"no widget", "<ui version=\"4.0\"/>", "not a .ui form: it has no widget"},
      {"two top-level widgets",
       "<ui><widget class=\"QWidget\" name=\"a\"/><widget class=\"QWidget\" name=\"b\"/></ui>",
       "more than one top-level widget"},
      {"widget outside the panel",
       "<ui><customwidgets><widget class=\"QWidget\" name=\"stray\"/></customwidgets></ui>",
       "widget \"stray\" lies outside the panel's widget"},
      {"panelId missing", panel(kQuit, prop("closeCtrl", "number", "2")), "no property panelId"},
      {"panelId not a number", panel(kQuit, prop("panelId", "string", "one") + prop("closeCtrl", "number", "2")),
       "panelId is not a positive integer"},
      {"closeCtrl missing", panel(kQuit, prop("panelId", "number", "1")), "no property closeCtrl"},
      {"ctrlId zero", panel(kQuit + widget("QSpinBox", "steps", prop("ctrlId", "number", "0"))),
       "widget \"steps\": ctrlId is not a positive integer"},
      {"ctrlId text", panel(kQuit + widget("QSpinBox", "steps", prop("ctrlId", "string", "4"))),
       "widget \"steps\": ctrlId is not a positive integer"},
      {"duplicate id", panel(kQuit + widget("Led", "scanLed", prop("ctrlId", "number", "2"))),
       "control 2 (\"scanLed\"): two controls have id 2"},
      {"unknown class", panel(kQuit + widget("QSlider", "slider", prop("ctrlId", "number", "5"))),
       "control 5 (\"slider\"): class QSlider is not a control"},
      {"dataType against class",
       panel(kQuit + widget("QSpinBox", "steps", prop("ctrlId", "number", "4") + prop("dataType", "string", "double"))),
       "control 4 (\"steps\"): dataType \"double\" disagrees with class QSpinBox"},
      {"dataType unknown",
       panel(kQuit + widget("QDoubleSpinBox", "speed", prop("ctrlId", "number", "4") + prop("dataType", "string", "float"))),
       "control 4 (\"speed\"): dataType \"float\" is neither int nor double"},
      {"indicator without dataType", panel(kQuit + widget("NumericIndicator", "position", prop("ctrlId", "number", "9"))),
       "control 9 (\"position\"): a NumericIndicator needs dataType int or double"},
      {"hex double",
       panel(kQuit + widget("NumericIndicator", "position",
                            prop("ctrlId", "number", "9") + prop("dataType", "string", "double") +
                                prop("format", "string", "hex"))),
       "control 9 (\"position\"): format hex needs dataType int"},
      {"timer without callback", panel(kQuit + timer(prop("interval", "double", "1.0"))),
       "control 7 (\"pollTimer\"): a timer needs a callback name"},
      {"timer without interval", panel(kQuit + timer(callback)),
       "control 7 (\"pollTimer\"): interval must be a positive number of seconds"},
      {"timer interval zero", panel(kQuit + timer(callback + prop("interval", "double", "0"))),
       "control 7 (\"pollTimer\"): interval must be a positive number of seconds"},
      {"timer interval NaN", panel(kQuit + timer(callback + prop("interval", "double", "nan"))),
       "control 7 (\"pollTimer\"): interval must be a positive number of seconds"},
      {"timer interval infinite", panel(kQuit + timer(callback + prop("interval", "double", "inf"))),
       "control 7 (\"pollTimer\"): interval must be a positive number of seconds"},
      {"timer enabled not bool",
       panel(kQuit + timer(callback + prop("interval", "double", "1") + prop("enabled", "string", "yes"))),
       "control 7 (\"pollTimer\"): enabled must be true or false"},
      {"closeCtrl names nothing", panel(kQuit, prop("panelId", "number", "1") + prop("closeCtrl", "number", "9")),
       "closeCtrl 9 names no control"},
      {"closeCtrl not a button",
       panel(kQuit + widget("QCheckBox", "home", prop("ctrlId", "number", "6")),
             prop("panelId", "number", "1") + prop("closeCtrl", "number", "6")),
       "closeCtrl 6 names control 6 (\"home\"), not a command button"},
  };
  ASSERT_TRUE(ParsePanelForm(panel(kQuit), nullptr)) << "the cases' base form is sound";
  for (const auto& c : cases) {
    QString error;
    EXPECT_FALSE(ParsePanelForm(c.xml, &error)) << c.fault;
    EXPECT_TRUE(error.contains(QLatin1String(c.error))) << c.fault << ": " << error.toStdString();
  }
}

TEST(runtimeForm, RefusesEveryTruncationOfAGoodForm) {
  const QByteArray xml = readForm("controls.ui").trimmed();
  ASSERT_TRUE(ParsePanelForm(xml, nullptr));
  for (qsizetype size = 0; size < xml.size(); ++size) {
    EXPECT_FALSE(ParsePanelForm(xml.left(size), nullptr)) << "cut after " << size << " bytes";
  }
}

}  // namespace
