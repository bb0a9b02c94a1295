// Control values and attributes: typed, shared by threads, shown by the widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_helpers.h"
#include "gui_runtime.h"
#include "runtime_testing.h"

namespace {

using namespace controls_panel;

constexpr int kDone = 1000;  // user event: a test thread has finished

// Writers store 1..kWrites in order; readers on other threads must only ever see values
// that were written, never going back. The main thread keeps processing the widget
// updates meanwhile.
TEST(runtimeValues, ThreadsReadOnlyWrittenValuesInWriteOrder) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(SetCtrlVal(panel, kSteps, 0), 0);
  ASSERT_EQ(SetCtrlVal(panel, kSpeed, 0.0), 0);
  constexpr int kWrites = 20000;

  std::vector<std::thread> threads;
  threads.emplace_back([panel] {
    for (int i = 1; i <= kWrites; ++i) SetCtrlVal(panel, kSteps, i);
    QueueUserEvent(kDone, panel, kSteps);
  });
  threads.emplace_back([panel] {
    for (int i = 1; i <= kWrites; ++i) SetCtrlVal(panel, kSpeed, i * 0.5);
    QueueUserEvent(kDone, panel, kSpeed);
  });
  std::vector<std::string> faults(2);
  for (std::string& fault : faults) {
    threads.emplace_back([panel, &fault] {
      int lastSteps = 0;
      double lastSpeed = 0.0;
      while (fault.empty() && (lastSteps < kWrites || lastSpeed < kWrites * 0.5)) {
        int steps = -1;
        double speed = -1.0;
        if (GetCtrlVal(panel, kSteps, &steps) != 0 || GetCtrlVal(panel, kSpeed, &speed) != 0) {
          fault = "a read failed";
        } else if (steps < lastSteps || steps > kWrites) {
          fault = "steps went from " + std::to_string(lastSteps) + " to " + std::to_string(steps);
        } else if (speed < lastSpeed || speed > kWrites * 0.5 || std::fmod(speed, 0.5) != 0.0) {
          fault = "speed went from " + std::to_string(lastSpeed) + " to " + std::to_string(speed);
        }
        lastSteps = steps;
        lastSpeed = speed;
      }
      QueueUserEvent(kDone, panel, 0);
    });
  }
  for (int done = 0; done < 4;) {
    if (GetUserEvent(1, nullptr, nullptr) == kDone) ++done;
  }
  for (std::thread& t : threads) t.join();
  for (const std::string& fault : faults) EXPECT_EQ(fault, "");

  auto* steps = widget<QSpinBox>(panel, kSteps);
  auto* speed = widget<QDoubleSpinBox>(panel, kSpeed);
  ASSERT_TRUE(steps && speed);
  EXPECT_TRUE(processEventsUntil([&] { return steps->value() == kWrites && speed->value() == kWrites * 0.5; }))
      << "the widgets show " << steps->value() << " and " << speed->value();
}

TEST(runtimeValues, WrongTypeOrTargetIsRefusedAndNothingChanges) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  const struct {
    int panel;
    int control;
    bool asDouble;  // set and get through the double overloads, else the int ones
    int result;
  } cases[] = {
      {panel, kSteps, true, UIE_WRONG_TYPE},    {panel, kHome, true, UIE_WRONG_TYPE},
      {panel, kStatusWord, true, UIE_WRONG_TYPE}, {panel, kSpeed, false, UIE_WRONG_TYPE},
      {panel, kProgress, false, UIE_WRONG_TYPE},  {panel, kPosition, false, UIE_WRONG_TYPE},
      {panel, kQuit, false, UIE_WRONG_TYPE},      {panel, kPollTimer, true, UIE_WRONG_TYPE},
      {panel, 99, false, UIE_BAD_CONTROL},        {panel + 100, kSteps, false, UIE_BAD_PANEL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "panel " << c.panel << " control " << c.control);
    int i = -7;
    double d = -7.0;
    EXPECT_EQ(c.asDouble ? SetCtrlVal(c.panel, c.control, 3.0) : SetCtrlVal(c.panel, c.control, 3), c.result);
    EXPECT_EQ(c.asDouble ? GetCtrlVal(c.panel, c.control, &d) : GetCtrlVal(c.panel, c.control, &i), c.result);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(d, -7.0);
  }
  int steps = 0;
  double speed = 0;
  EXPECT_EQ(GetCtrlVal(panel, kSteps, &steps), 0);
  EXPECT_EQ(GetCtrlVal(panel, kSpeed, &speed), 0);
  EXPECT_EQ(steps, 12);
  EXPECT_EQ(speed, 2.5);
}

TEST(runtimeValues, AttributesCheckTypeAndControl) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  const struct {
    int control;
    int attribute;
    bool asDouble;
    int setResult;
    int getResult;
  } cases[] = {
      {kPollTimer, ATTR_INTERVAL, true, 0, 0},
      {kPollTimer, ATTR_INTERVAL, false, UIE_WRONG_TYPE, UIE_WRONG_TYPE},
      {kPollTimer, ATTR_ENABLED, false, 0, 0},
      {kPollTimer, ATTR_ENABLED, true, UIE_WRONG_TYPE, UIE_WRONG_TYPE},
      {kSteps, ATTR_INTERVAL, true, UIE_BAD_ATTRIBUTE, UIE_BAD_ATTRIBUTE},
      {kQuit, ATTR_ENABLED, false, UIE_BAD_ATTRIBUTE, UIE_BAD_ATTRIBUTE},
      {kSteps, ATTR_CTRL_KIND, false, UIE_BAD_ATTRIBUTE, 0},  // read-only
      {kSpeed, ATTR_DATA_TYPE, false, UIE_BAD_ATTRIBUTE, 0},  // read-only
      {kSpeed, ATTR_DATA_TYPE, true, UIE_BAD_ATTRIBUTE, UIE_WRONG_TYPE},
      {kSteps, 12345, false, UIE_BAD_ATTRIBUTE, UIE_BAD_ATTRIBUTE},
      {99, ATTR_CTRL_KIND, false, UIE_BAD_CONTROL, UIE_BAD_CONTROL},
      {kSteps, ATTR_DIMMED, false, 0, 0},
      {kStart, ATTR_DIMMED, true, UIE_WRONG_TYPE, UIE_WRONG_TYPE},
      {kPollTimer, ATTR_DIMMED, false, UIE_BAD_ATTRIBUTE, UIE_BAD_ATTRIBUTE},  // has no widget
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "control " << c.control << " attribute " << c.attribute);
    int i = 0;
    double d = 0;
    if (c.asDouble) {
      EXPECT_EQ(SetCtrlAttribute(panel, c.control, c.attribute, 0.25), c.setResult);
      EXPECT_EQ(GetCtrlAttribute(panel, c.control, c.attribute, &d), c.getResult);
      if (c.setResult == 0) {
        EXPECT_EQ(d, 0.25);
      }
    } else {
      EXPECT_EQ(SetCtrlAttribute(panel, c.control, c.attribute, 0), c.setResult);
      EXPECT_EQ(GetCtrlAttribute(panel, c.control, c.attribute, &i), c.getResult);
    }
  }
  for (const double bad : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_INTERVAL, bad), UIE_BAD_ARGUMENT) << bad;
  }
}

// Values set from another thread reach the widgets; a value a widget cannot show (beyond a
// spin box's range, NaN) is still the control's value, as the widget does not write back.
TEST(runtimeValues, WidgetsShowTheLatestValues) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  const auto text = [panel](int control) { return widget<QLabel>(panel, control)->text(); };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::thread([panel, nan] {
    SetCtrlVal(panel, kSteps, 5000000);
    SetCtrlVal(panel, kSpeed, 7.125);
    SetCtrlVal(panel, kHome, 0);
    SetCtrlVal(panel, kBusyLed, 0);
    SetCtrlVal(panel, kStatusWord, int(0x80000400));
    SetCtrlVal(panel, kPosition, 3.14159);
    SetCtrlVal(panel, kPosition, nan);
    SetCtrlVal(panel, kProgress, 150.0);
    SetCtrlVal(panel, kProgress, 42.26);
    SetCtrlVal(panel, kPointCount, 17);
  }).join();

  auto* progress = widget<QProgressBar>(panel, kProgress);
  ASSERT_TRUE(processEventsUntil([&] { return progress->text() == "42.3%"; })) << progress->text().toStdString();
  EXPECT_EQ(progress->value() * 100 / progress->maximum(), 42);
  EXPECT_EQ(widget<QSpinBox>(panel, kSteps)->value(), 1000000);
  EXPECT_EQ(widget<QDoubleSpinBox>(panel, kSpeed)->value(), 7.125);
  EXPECT_FALSE(widget<QCheckBox>(panel, kHome)->isChecked());
  EXPECT_FALSE(widget<QWidget>(panel, kBusyLed)->property("on").toBool());
  EXPECT_EQ(text(kStatusWord), "0x80000400");
  EXPECT_EQ(text(kPosition), "nan mm");
  EXPECT_EQ(widget<QSpinBox>(panel, kPointCount)->value(), 17);
  // Short words keep all eight hexadecimal digits.
  SetCtrlVal(panel, kStatusWord, 0x100);
  ASSERT_TRUE(processEventsUntil([&] { return text(kStatusWord) == "0x00000100"; }))
      << text(kStatusWord).toStdString();

  int steps = 0;
  double position = 0;
  EXPECT_EQ(GetCtrlVal(panel, kSteps, &steps), 0);
  EXPECT_EQ(GetCtrlVal(panel, kPosition, &position), 0);
  EXPECT_EQ(steps, 5000000);
  EXPECT_TRUE(std::isnan(position));

  SetCtrlVal(panel, kPosition, 3.14159);
  EXPECT_TRUE(processEventsUntil([&] { return text(kPosition) == "3.14 mm"; })) << text(kPosition).toStdString();
}

TEST(runtimeValues, OperatorEditsReachTheStore) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(DisplayPanel(panel), 0);
  widget<QSpinBox>(panel, kSteps)->setValue(77);
  test_support::clickControl(panel, kHome);
  int steps = 0;
  int home = -1;
  EXPECT_EQ(GetCtrlVal(panel, kSteps, &steps), 0);
  EXPECT_EQ(GetCtrlVal(panel, kHome, &home), 0);
  EXPECT_EQ(steps, 77);
  EXPECT_EQ(home, 0) << "the check box started checked";
}

}  // namespace
