// Loading panel files: what a good file gives, and how faulty ones are refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>

#include "controls_panel.h"
#include "gui_runtime.h"
#include "runtime_testing.h"

namespace {

using namespace controls_panel;

TEST(runtimeLoad, ControlsStartWithTheFormsKindsTypesAndValues) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  EXPECT_EQ(runtime_testing::panelWidget(panel)->windowTitle(), "Run-time test panel");

  const struct {
    int control;
    int kind;
    int dataType;
    double initial;  // ignored for controls without a value
  } controls[] = {
      {kQuit, CTRL_KIND_COMMAND_BUTTON, VAL_NO_TYPE, 0},
      {kSteps, CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER, 12},
      {kSpeed, CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 2.5},
      {kHome, CTRL_KIND_CHECK_BOX, VAL_INTEGER, 1},
      {kBusyLed, CTRL_KIND_LED, VAL_INTEGER, 1},
      {kStatusWord, CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0},
      {kPosition, CTRL_KIND_NUMERIC_INDICATOR, VAL_DOUBLE, 0},
      {kPointCount, CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0},
      {kProgress, CTRL_KIND_PROGRESS, VAL_DOUBLE, 25},
      {kPollTimer, CTRL_KIND_TIMER, VAL_NO_TYPE, 0},
      {kLabel, CTRL_KIND_TEXT_INPUT, VAL_STRING, 0},
      {kChoices, CTRL_KIND_LIST, VAL_STRING, 0},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.control);
    int kind = 0;
    int dataType = -1;
    EXPECT_EQ(GetCtrlAttribute(panel, c.control, ATTR_CTRL_KIND, &kind), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, c.control, ATTR_DATA_TYPE, &dataType), 0);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(dataType, c.dataType);
    int i = -1;
    double d = -1;
    if (c.dataType == VAL_INTEGER) {
      EXPECT_EQ(GetCtrlVal(panel, c.control, &i), 0);
      EXPECT_EQ(i, c.initial);
    } else if (c.dataType == VAL_DOUBLE) {
      EXPECT_EQ(GetCtrlVal(panel, c.control, &d), 0);
      EXPECT_EQ(d, c.initial);
    }
  }
  int enabled = -1;
  double interval = 0;
  EXPECT_EQ(GetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, &enabled), 0);
  EXPECT_EQ(GetCtrlAttribute(panel, kPollTimer, ATTR_INTERVAL, &interval), 0);
  EXPECT_EQ(enabled, 0);
  EXPECT_EQ(interval, 1.0);
}

TEST(runtimeLoad, RefusesFaultyFilesWithOneLineNamingTheFault) {
  const std::string missing = formPath("no_such_panel.ui");
  const struct {
    std::string file;
    int resourceId;
    int result;
    std::string message;
  } cases[] = {
      {"no_such_panel.ui", 1, UIE_FILE_NOT_FOUND,
       "Quarlex: cannot load panel file \"no_such_panel.ui\": found neither next to the executable"},
      {missing, 1, UIE_FILE_NOT_FOUND, "Quarlex: cannot load panel file \"" + missing + "\": "},
      {formPath("unknown_callback.ui"), 1, UIE_BAD_FILE,
       "control 5 (\"watchdogTimer\"): callback \"noSuchFunction\" is not in the program's callback table"},
      {formPath("controls.ui"), 2, UIE_BAD_FILE, "it holds panel 1, not panel 2"},
  };
  const qsizetype windows = QApplication::topLevelWidgets().size();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadPanel(0, c.file.c_str(), c.resourceId), c.result);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  }
  EXPECT_EQ(QApplication::topLevelWidgets().size(), windows) << "a refused file built widgets";
}

TEST(runtimeLoad, FindsARelativeNameInTheWorkingDirectory) {
  ASSERT_TRUE(QDir::setCurrent(QUARLEX_RUNTIME_FORMS));
  EXPECT_GT(LoadPanel(0, "controls.ui", kPanelId), 0);
}

TEST(runtimeLoad, DisplayedPanelFocusesTheActiveControl) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  EXPECT_EQ(DisplayPanel(panel + 1), UIE_BAD_PANEL);
  ASSERT_EQ(DisplayPanel(panel), 0);
  EXPECT_TRUE(runtime_testing::panelWidget(panel)->isVisible());
  EXPECT_EQ(SetActiveCtrl(panel, kSpeed), 0);
  EXPECT_EQ(runtime_testing::panelWidget(panel)->focusWidget(), runtime_testing::controlWidget(panel, kSpeed));
  EXPECT_EQ(SetActiveCtrl(panel, 99), UIE_BAD_CONTROL);
}

TEST(runtimeLoad, DiscardedPanelIsGone) {
  const int panel = load();
  const int other = load();
  ASSERT_GT(other, panel);
  EXPECT_EQ(DiscardPanel(panel), 0);
  int value = 0;
  EXPECT_EQ(GetCtrlVal(panel, kSteps, &value), UIE_BAD_PANEL);
  EXPECT_EQ(runtime_testing::panelWidget(panel), nullptr);
  EXPECT_EQ(DiscardPanel(panel), UIE_BAD_PANEL);
  EXPECT_EQ(GetCtrlVal(other, kSteps, &value), 0) << "the other panel stays";
}

}  // namespace
