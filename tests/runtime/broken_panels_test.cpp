// Every file of the broken-panel corpus (tests/fuzz/broken, also the fuzzer's seeds) is
// refused by LoadPanel with one stderr line naming the file and its fault. Each file is the
// minimal form below with one fault; the fault each file must be refused for is listed here,
// so a corpus file without an entry, or an entry without its file, fails.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <map>
#include <string>

#include "corpus.h"
#include "gui_runtime.h"

namespace {

// The form every corpus file starts from: panel 1 closed by command button 2.
constexpr char kMinimalForm[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>BrokenPanel</class>
 <widget class="QWidget" name="BrokenPanel">
  <property name="panelId" stdset="0">
   <number>1</number>
  </property>
  <property name="closeCtrl" stdset="0">
   <number>2</number>
  </property>
  <layout class="QVBoxLayout" name="panelLayout">
   <item>
    <widget class="QPushButton" name="quitButton">
     <property name="text">
      <string>QUIT</string>
     </property>
     <property name="ctrlId" stdset="0">
      <number>2</number>
     </property>
    </widget>
   </item>
  </layout>
 </widget>
 <resources/>
 <connections/>
</ui>
)";

// Corpus file name -> a part of the fault text it must be refused with.
const std::map<std::string, std::string> kExpectedFaults = {
    {"empty.uir", "not well-formed XML"},
    {"not_xml.uir", "not well-formed XML"},
    {"truncated.uir", "not well-formed XML"},
    {"mismatched_tags.uir", "not well-formed XML"},
    {"not_ui_form.uir", "not a .ui form: its root element is <html>"},
    {"ui_without_widget.uir", "not a .ui form: it has no widget"},
    {"two_top_level_widgets.uir", "not a .ui form: more than one top-level widget"},
    {"widget_outside_panel.uir", "widget \"strayButton\" lies outside the panel's widget"},
    {"panel_id_missing.uir", "the panel's widget has no property panelId"},
    {"panel_id_not_int.uir", "panelId is not a positive integer"},
    {"panel_id_garbage.uir", "panelId is not a positive integer"},
    {"panel_id_zero.uir", "panelId is not a positive integer"},
    {"panel_id_mismatch.uir", "it holds panel 2, not panel 1"},
    {"close_ctrl_missing.uir", "the panel's widget has no property closeCtrl"},
    {"close_ctrl_negative.uir", "closeCtrl is not a positive integer"},
    {"close_ctrl_names_no_control.uir", "closeCtrl 9 names no control"},
    {"close_ctrl_not_button.uir", "closeCtrl 3 names control 3 (\"homeCheck\"), not a command button"},
    {"ctrl_id_not_int.uir", "widget \"startButton\": ctrlId is not a positive integer"},
    {"ctrl_id_double.uir", "widget \"startButton\": ctrlId is not a positive integer"},
    {"ctrl_id_overflow.uir", "widget \"startButton\": ctrlId is not a positive integer"},
    {"ctrl_id_zero.uir", "widget \"startButton\": ctrlId is not a positive integer"},
    {"ctrl_id_negative.uir", "widget \"startButton\": ctrlId is not a positive integer"},
    {"ctrl_id_duplicate.uir", "control 2 (\"startButton\"): two controls have id 2"},
    {"unknown_class.uir", "control 3 (\"statusLabel\"): class QLabel is not a control"},
    {"spinbox_data_type_double.uir", "control 3 (\"stepsInput\"): dataType \"double\" disagrees with class QSpinBox"},
    {"progress_data_type_int.uir", "control 3 (\"scanProgress\"): dataType \"int\" disagrees with class QProgressBar"},
    {"data_type_unknown.uir", "control 3 (\"speedInput\"): dataType \"float\" is neither int nor double"},
    {"indicator_without_data_type.uir", "control 3 (\"readout\"): a NumericIndicator needs dataType int or double"},
    {"indicator_hex_on_double.uir", "control 3 (\"readout\"): format hex needs dataType int"},
    {"indicator_format_unknown.uir", "control 3 (\"readout\"): format \"octal\" is unknown"},
    {"timer_without_callback.uir", "control 5 (\"pollTimer\"): a timer needs a callback name"},
    {"timer_empty_callback.uir", "control 5 (\"pollTimer\"): a timer needs a callback name"},
    {"timer_without_interval.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_zero.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_negative.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_nan.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_inf.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_not_a_number.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_interval_string.uir", "control 5 (\"pollTimer\"): interval must be a positive number of seconds"},
    {"timer_enabled_not_bool.uir", "control 5 (\"pollTimer\"): enabled must be true or false"},
    {"timer_unknown_callback.uir",
     "control 5 (\"pollTimer\"): callback \"noSuchFunction\" is not in the program's callback table"},
};

TEST(runtimeBrokenPanels, EveryCorpusFileHasAnExpectedFault) {
  test_support::ExpectCorpusMatchesTable(QUARLEX_BROKEN_PANELS, kExpectedFaults);
}

TEST(runtimeBrokenPanels, RefusesEachFileWithOneLineNamingItAndItsFault) {
  const qsizetype windows = QApplication::topLevelWidgets().size();
  for (const auto& [name, fault] : kExpectedFaults) {
    SCOPED_TRACE(name);
    const std::string path = std::string(QUARLEX_BROKEN_PANELS) + "/" + name;
    testing::internal::CaptureStderr();
    const int result = LoadPanel(0, path.c_str(), 1);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_LT(result, 0);
    EXPECT_EQ(message.rfind("Quarlex: cannot load panel file \"" + path + "\": ", 0), 0u) << message;
    EXPECT_NE(message.find(fault), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_TRUE(message.ends_with('\n')) << message;
  }
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows) << "a refused file built widgets";
}

// Files that cannot sit in the corpus: each is refused from what the file system says of it,
// before it is opened or read (a FIFO would block the open, /dev/zero never ends).
TEST(runtimeBrokenPanels, RefusesWhatIsNotARegularFileOrTooLargeWithOneLine) {
  const QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct Case {
    const char* name;
    bool (*make)(const QString& path);
    const char* fault;
  };
  const Case cases[] = {
      {"folder.uir", [](const QString& path) { return QDir().mkdir(path); }, "it is not a regular file"},
      {"zeros.uir", [](const QString& path) { return QFile::link("/dev/zero", path); }, "it is not a regular file"},
#ifndef _WIN32
      {"fifo.uir", [](const QString& path) { return mkfifo(path.toLocal8Bit().constData(), 0600) == 0; },
       "it is not a regular file"},
#endif
      {"huge.uir",
       [](const QString& path) {
         QFile file(path);
         return file.open(QIODevice::WriteOnly) && file.write(kMinimalForm) > 0 && file.resize(4 * 1024 * 1024 + 1);
       },
       "it is larger than 4194304 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(c.name);
    ASSERT_TRUE(c.make(path));
    testing::internal::CaptureStderr();
    const int result = LoadPanel(0, path.toLocal8Bit().constData(), 1);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, UIE_BAD_FILE);
    EXPECT_EQ(message, "Quarlex: cannot load panel file \"" + path.toStdString() + "\": " + c.fault + "\n");
  }
}

TEST(runtimeBrokenPanels, MinimalFormTheCorpusStartsFromLoads) {
  const QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("minimal.uir");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(kMinimalForm), qint64(sizeof kMinimalForm - 1));
  file.close();

  testing::internal::CaptureStderr();
  const int panel = LoadPanel(0, path.toLocal8Bit().constData(), 1);
  const std::string message = testing::internal::GetCapturedStderr();
  ASSERT_GT(panel, 0) << message;
  EXPECT_EQ(message, "");
  int kind = -1;
  EXPECT_EQ(GetCtrlAttribute(panel, 2, ATTR_CTRL_KIND, &kind), 0);
  EXPECT_EQ(kind, CTRL_KIND_COMMAND_BUTTON);
  EXPECT_EQ(DiscardPanel(panel), 0);
}

}  // namespace
