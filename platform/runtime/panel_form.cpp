#include "panel_form.h"

#include <QHash>
#include <QXmlStreamReader>

#include <cmath>

#include "gui_runtime.h"

namespace {

// A fault in the form; ParsePanelForm turns it into the error text.
struct Fault {
  QString text;
};

// A property as the form writes it: the value's element (number, double, bool, string...)
// and its text; empty text for structured values such as colours.
struct Property {
  QString type;
  QString text;
};

struct FormWidget {
  QString className;
  QString objectName;
  QHash<QString, Property> properties;

  const Property* property(const char* name) const {
    const auto it = properties.constFind(QLatin1String(name));
    return it == properties.cend() ? nullptr : &*it;
  }
};

// The widget classes that can be controls, with their kind and data type. A
// NumericIndicator takes its data type from its dataType property.
struct ControlClass {
  const char* name;
  int kind;
  int dataType;
};
constexpr ControlClass kControlClasses[] = {
    {"QPushButton", CTRL_KIND_COMMAND_BUTTON, VAL_NO_TYPE},
    {"QSpinBox", CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER},
    {"QDoubleSpinBox", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE},
    {"QCheckBox", CTRL_KIND_CHECK_BOX, VAL_INTEGER},
    {"Led", CTRL_KIND_LED, VAL_INTEGER},
    {"NumericIndicator", CTRL_KIND_NUMERIC_INDICATOR, VAL_NO_TYPE},
    {"QProgressBar", CTRL_KIND_PROGRESS, VAL_DOUBLE},
    {"PanelTimer", CTRL_KIND_TIMER, VAL_NO_TYPE},
    {"QLineEdit", CTRL_KIND_TEXT_INPUT, VAL_STRING},
    {"QListWidget", CTRL_KIND_LIST, VAL_STRING},
    {"ScanMap", CTRL_KIND_SCAN_MAP, VAL_NO_TYPE},
};

const ControlClass* controlClass(const QString& className) {
  for (const ControlClass& c : kControlClasses) {
    if (className == QLatin1String(c.name)) return &c;
  }
  return nullptr;
}

// Every <widget> of the form, the top-level one first, with its direct properties.
std::vector<FormWidget> readWidgets(const QByteArray& xml) {
  QXmlStreamReader reader(xml);
  std::vector<FormWidget> widgets;
  std::vector<int> open;  // per open element: index of the widget it is, or -1
  int openWidgets = 0;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isEndElement()) {
      if (open.back() >= 0) --openWidgets;
      open.pop_back();
      continue;
    }
    if (!reader.isStartElement()) continue;
    const QStringView name = reader.name();
    if (open.empty() && name != u"ui") {
      throw Fault{QStringLiteral("not a .ui form: its root element is <%1>").arg(name)};
    }
    if (name == u"property" && open.back() >= 0) {
      // Reads the whole property, value included, up to its end element.
      const QString propertyName = reader.attributes().value(QLatin1String("name")).toString();
      Property property;
      if (reader.readNextStartElement()) {
        property.type = reader.name().toString();
        property.text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        reader.skipCurrentElement();
      }
      widgets[open.back()].properties.insert(propertyName, property);
      continue;
    }
    int index = -1;
    if (name == u"widget") {
      const QString objectName = reader.attributes().value(QLatin1String("name")).toString();
      if (open.size() == 1 && !widgets.empty()) {
        throw Fault{QStringLiteral("not a .ui form: more than one top-level widget")};
      }
      if (open.size() > 1 && openWidgets == 0) {
        throw Fault{QStringLiteral("widget \"%1\" lies outside the panel's widget").arg(objectName)};
      }
      index = int(widgets.size());
      widgets.push_back({reader.attributes().value(QLatin1String("class")).toString(), objectName, {}});
      ++openWidgets;
    }
    open.push_back(index);
  }
  if (reader.hasError()) {
    throw Fault{QStringLiteral("not well-formed XML (line %1, column %2): %3")
                    .arg(reader.lineNumber())
                    .arg(reader.columnNumber())
                    .arg(reader.errorString())};
  }
  if (widgets.empty()) throw Fault{QStringLiteral("not a .ui form: it has no widget")};
  return widgets;
}

std::optional<int> positiveInt(const Property* property) {
  if (!property || property->type != u"number") return std::nullopt;
  bool ok = false;
  const int value = property->text.toInt(&ok);
  if (!ok || value < 1) return std::nullopt;
  return value;
}

int panelProperty(const FormWidget& top, const char* name) {
  const Property* property = top.property(name);
  if (!property) throw Fault{QStringLiteral("the panel's widget has no property %1").arg(name)};
  const std::optional<int> value = positiveInt(property);
  if (!value) throw Fault{QStringLiteral("%1 is not a positive integer").arg(name)};
  return *value;
}

int dataTypeNamed(const QString& name) {
  if (name == u"int") return VAL_INTEGER;
  if (name == u"double") return VAL_DOUBLE;
  return VAL_NO_TYPE;
}

void readTimer(const FormWidget& w, PanelFormControl& c) {
  const Property* callback = w.property("callback");
  if (!callback || callback->text.isEmpty()) {
    throw Fault{named(c) + QStringLiteral(": a timer needs a callback name")};
  }
  c.callback = callback->text;
  const Property* interval = w.property("interval");
  bool ok = false;
  if (interval && (interval->type == u"double" || interval->type == u"number")) {
    c.interval = interval->text.toDouble(&ok);
  }
  if (!ok || !std::isfinite(c.interval) || c.interval <= 0.0) {
    throw Fault{named(c) + QStringLiteral(": interval must be a positive number of seconds")};
  }
  const Property* enabled = w.property("enabled");
  if (enabled && (enabled->type != u"bool" || (enabled->text != u"true" && enabled->text != u"false"))) {
    throw Fault{named(c) + QStringLiteral(": enabled must be true or false")};
  }
  c.enabled = !enabled || enabled->text == u"true";
}

// The control a widget carrying ctrlId stands for.
PanelFormControl readControl(const FormWidget& w) {
  PanelFormControl c;
  c.className = w.className;
  c.objectName = w.objectName;
  const std::optional<int> id = positiveInt(w.property("ctrlId"));
  if (!id) {
    throw Fault{QStringLiteral("widget \"%1\": ctrlId is not a positive integer").arg(w.objectName)};
  }
  c.id = *id;
  const ControlClass* cls = controlClass(w.className);
  if (!cls) throw Fault{named(c) + QStringLiteral(": class %1 is not a control").arg(w.className)};
  c.kind = cls->kind;
  c.dataType = cls->dataType;

  const bool indicator = c.kind == CTRL_KIND_NUMERIC_INDICATOR;
  if (const Property* declared = w.property("dataType")) {
    const int type = dataTypeNamed(declared->text);
    if (type == VAL_NO_TYPE) {
      throw Fault{named(c) + QStringLiteral(": dataType \"%1\" is neither int nor double").arg(declared->text)};
    }
    if (!indicator && type != c.dataType) {
      throw Fault{named(c) + QStringLiteral(": dataType \"%1\" disagrees with class %2")
                                 .arg(declared->text, w.className)};
    }
    c.dataType = type;
  } else if (indicator) {
    throw Fault{named(c) + QStringLiteral(": a NumericIndicator needs dataType int or double")};
  }
  if (const Property* format = w.property("format"); indicator && format) {
    if (format->text != u"hex") {
      throw Fault{named(c) + QStringLiteral(": format \"%1\" is unknown; hex is the one format").arg(format->text)};
    }
    if (c.dataType != VAL_INTEGER) throw Fault{named(c) + QStringLiteral(": format hex needs dataType int")};
  }
  if (const Property* readOnly = w.property("readOnly");
      c.kind == CTRL_KIND_NUMERIC_INPUT && readOnly && readOnly->text == u"true") {
    c.kind = CTRL_KIND_NUMERIC_INDICATOR;
  }
  if (c.kind == CTRL_KIND_TIMER) readTimer(w, c);
  return c;
}

PanelForm checkForm(const std::vector<FormWidget>& widgets) {
  PanelForm form;
  form.panelId = panelProperty(widgets.front(), "panelId");
  form.closeCtrl = panelProperty(widgets.front(), "closeCtrl");
  QHash<int, std::size_t> byId;  // control id -> index in form.controls
  for (const FormWidget& w : widgets) {
    if (!w.properties.contains(QStringLiteral("ctrlId"))) continue;
    const PanelFormControl c = readControl(w);
    if (byId.contains(c.id)) throw Fault{named(c) + QStringLiteral(": two controls have id %1").arg(c.id)};
    byId.insert(c.id, form.controls.size());
    form.controls.push_back(c);
  }
  const auto close = byId.constFind(form.closeCtrl);
  if (close == byId.cend()) {
    throw Fault{QStringLiteral("closeCtrl %1 names no control").arg(form.closeCtrl)};
  }
  if (const PanelFormControl& c = form.controls[*close]; c.kind != CTRL_KIND_COMMAND_BUTTON) {
    throw Fault{QStringLiteral("closeCtrl %1 names %2, not a command button").arg(c.id).arg(named(c))};
  }
  return form;
}

}  // namespace

QString named(const PanelFormControl& c) {
  return QStringLiteral("control %1 (\"%2\")").arg(c.id).arg(c.objectName);
}

std::optional<PanelForm> ParsePanelForm(const QByteArray& xml, QString* error) {
  try {
    return checkForm(readWidgets(xml));
  } catch (const Fault& fault) {
    if (error) *error = fault.text;
    return std::nullopt;
  }
}
