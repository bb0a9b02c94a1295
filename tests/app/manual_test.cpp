// Manual operation through the real panel on the simulated rig: soft limits on go-tos, jogs
// and scan grids, the limits dialog, the jog step and the keyboard.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const int kTarget[3] = {PANEL_TARGET_X, PANEL_TARGET_Y, PANEL_TARGET_Z};
const int kGoTo[3] = {PANEL_GOTO_X, PANEL_GOTO_Y, PANEL_GOTO_Z};

// Each test starts without stored limits or jog step, and leaves none behind.
void clearManualSettings() {
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quarlex", "Quarlex");
  settings.remove("limits");
  settings.remove("jog");
  settings.sync();
}

class ManualTest : public SimulatedRigTest {
 protected:
  ManualTest() : SimulatedRigTest(200.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    clearManualSettings();
  }
  void TearDown() override {
    clearManualSettings();
    SimulatedRigTest::TearDown();
  }
};

std::vector<std::string> linesSince(Operator& op, std::size_t from) {
  const std::vector<std::string> all = op.lines();
  return {all.begin() + static_cast<long>(std::min(from, all.size())), all.end()};
}

std::vector<Command> absoluteMove(int axis, long long units) {
  return {{"ISC_SetMoveAbsolutePosition", axis, {units}}, {"ISC_MoveAbsolute", axis, {}}};
}

std::vector<Command> relativeMove(int axis, long long units) {
  return {{"ISC_SetMoveRelativeDistance", axis, {units}}, {"ISC_MoveRelativeDistance", axis, {}}};
}

QWidget* widgetOf(int control) { return runtime_testing::controlWidget(p1_h, control); }

std::string buttonText(Operator& op, int control) {
  std::string text;
  op.onGuiThread([&] { text = qobject_cast<QAbstractButton*>(widgetOf(control))->text().toStdString(); });
  return text;
}

// Sends a key press (and its release) to the widget that has the focus, or to the panel's
// window, through Qt's event system as the keyboard would.
void pressKey(Operator& op, Qt::Key key, bool autoRepeat = false) {
  op.onGuiThread([&] {
    QWidget* panel = runtime_testing::panelWidget(p1_h);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : panel;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &release);
  });
}

// Gives `control` the keyboard focus and waits until it has it (a slow machine activates the
// window late, and keys sent before then would go elsewhere).
void focus(Operator& op, int control) {
  op.onGuiThread([&] {
    QWidget* w = widgetOf(control);
    w->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
  });
  ASSERT_TRUE(op.waitFor([&] {
    bool focused = false;
    op.onGuiThread([&] { focused = widgetOf(control)->hasFocus(); });
    return focused;
  }, 20.0));
}

TEST_F(ManualTest, GoToTargetsAtJustInsideAndJustOutsideTheLimits) {
  struct Case {
    const char* what;
    double mm;
    bool typed;  // typed into the field, else stored in the control (NaN)
    bool moves;
  };
  const Case cases[] = {
      {"at the minimum", 0.0, true, true},          {"just inside the minimum", 0.0001, true, true},
      {"just outside the minimum", -0.0001, true, false}, {"at the maximum", 300.0, true, true},
      {"just inside the maximum", 299.9999, true, true},  {"just outside the maximum", 300.0001, true, false},
      {"far outside", -50.0, true, false},          {"NaN", kNaN, false, false},
  };
  const int result = RunQuarlex([&](Operator& op) {
    for (const Case& c : cases) {
      for (int axis = 0; axis < 3; axis++) {
        SCOPED_TRACE(std::string(c.what) + " on axis " + std::to_string(axis));
        if (c.typed) {
          op.type(kTarget[axis], c.mm);
        } else {
          SetCtrlVal(p1_h, kTarget[axis], c.mm);
        }
        const std::size_t before = op.lines().size();
        motion_sim::clearCallLog();
        Press(op, kGoTo[axis]);
        const std::vector<std::string> lines = linesSince(op, before);
        if (c.moves) {
          EXPECT_EQ(Commands(), absoluteMove(axis, static_cast<long long>(c.mm * 409600)));
          EXPECT_TRUE(lines.empty());
        } else {
          EXPECT_TRUE(Commands().empty());
          ASSERT_EQ(lines.size(), 1u);
          char expected[128];
          std::snprintf(expected, sizeof expected,
                        "Axis %c: go to %g mm refused, outside its soft limits 0 to 300 mm",
                        "XYZ"[axis], c.mm);
          EXPECT_EQ(lines[0], expected);
        }
      }
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, GoToAllMovesTheAxesWithinTheLimitsAndRefusesTheOther) {
  const int result = RunQuarlex([](Operator& op) {
    op.type(PANEL_TARGET_X, 10.0);
    op.type(PANEL_TARGET_Y, 300.5);
    op.type(PANEL_TARGET_Z, 5.0);
    const std::size_t before = op.lines().size();
    motion_sim::clearCallLog();
    Press(op, PANEL_GOTO_ALL);
    std::vector<Command> expected = absoluteMove(0, 4096000);
    for (const Command& c : absoluteMove(2, 2048000)) expected.push_back(c);
    EXPECT_EQ(Commands(), expected);
    EXPECT_EQ(linesSince(op, before),
              std::vector<std::string>{"Axis Y: go to 300.5 mm refused, outside its soft limits 0 to 300 mm"});
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, JogsAreCheckedFromTheReadBackPosition) {
  struct Case {
    const char* what;
    double position;
    int stepButton;
    long long units;  // of the step
    int control;
    int axis;
    int direction;
    bool moves;
  };
  const Case cases[] = {
      {"1 mm back from 0.5 mm", 0.5, PANEL_JOG_STEP_1, 409600, PANEL_JOG_X_MINUS, 0, -1, false},
      {"0.1 mm back from 0.5 mm", 0.5, PANEL_JOG_STEP_0_1, 40960, PANEL_JOG_X_MINUS, 0, -1, true},
      {"1 mm back from 1 mm, onto the minimum", 1.0, PANEL_JOG_STEP_1, 409600, PANEL_JOG_Y_MINUS, 1, -1, true},
      {"10 mm on from 295 mm", 295.0, PANEL_JOG_STEP_10, 4096000, PANEL_JOG_Z_PLUS, 2, +1, false},
      {"1 mm on from 299 mm, onto the maximum", 299.0, PANEL_JOG_STEP_1, 409600, PANEL_JOG_Z_PLUS, 2, +1, true},
      {"0.01 mm on from 300 mm", 300.0, PANEL_JOG_STEP_0_01, 4096, PANEL_JOG_X_PLUS, 0, +1, false},
  };
  const int result = RunQuarlex([&](Operator& op) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      Press(op, c.stepButton);
      motion_sim::setPosition(kSerials[c.axis], c.position);
      const std::size_t before = op.lines().size();
      motion_sim::clearCallLog();
      Press(op, c.control);
      const std::vector<std::string> lines = linesSince(op, before);
      if (c.moves) {
        EXPECT_EQ(Commands(), relativeMove(c.axis, c.direction * c.units));
        EXPECT_TRUE(lines.empty());
      } else {
        EXPECT_TRUE(Commands().empty());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind(std::string("Axis ") + "XYZ"[c.axis] + ": jog to ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find("outside its soft limits 0 to 300 mm"), std::string::npos) << lines[0];
      }
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, JogStepIsShownOnTheButtonsAndRememberedForTheNextStart) {
  const int result = RunQuarlex([](Operator& op) {
    EXPECT_TRUE(op.waitFor([&] { return buttonText(op, PANEL_JOG_X_PLUS) == "Jog +1 mm"; }));
    Press(op, PANEL_JOG_STEP_0_01);
    EXPECT_TRUE(op.waitFor([&] { return buttonText(op, PANEL_JOG_Z_MINUS) == "Jog \u22120.01 mm"; }));
    EXPECT_TRUE(op.waitFor([&] { return LabelText(op, "jogStepLabel") == "Jog step: 0.01 mm"; }));
    Press(op, PANEL_JOG_STEP_10);
  });
  EXPECT_EQ(result, 0);
  // The next session starts with the step chosen last.
  motion_sim::reset();
  const int second = RunQuarlex([](Operator& op) {
    EXPECT_TRUE(op.waitFor([&] { return buttonText(op, PANEL_JOG_Y_PLUS) == "Jog +10 mm"; }));
    motion_sim::clearCallLog();
    Press(op, PANEL_JOG_Y_PLUS);
    EXPECT_EQ(Commands(), relativeMove(1, 4096000));
  });
  EXPECT_EQ(second, 0);
}

TEST_F(ManualTest, AnUnusableStoredJogStepOrLimitIsReportedAndTheDefaultUsed) {
  SetSetting("jog/step", "7");
  SetSetting("limits/Xmin", "garbage");
  SetSetting("limits/Xmax", "100");
  SetSetting("limits/Ymin", "50");
  SetSetting("limits/Ymax", "10");
  const std::size_t before = PrintedLines().size();
  const int result = RunQuarlex([](Operator& op) {
    motion_sim::clearCallLog();
    Press(op, PANEL_JOG_X_PLUS);  // 1 mm, from 25 mm
    op.type(PANEL_TARGET_X, 150.0);
    Press(op, PANEL_GOTO_X);      // within the default X range
    std::vector<Command> expected = relativeMove(0, 409600);
    for (const Command& c : absoluteMove(0, 61440000)) expected.push_back(c);
    EXPECT_EQ(Commands(), expected);
  });
  EXPECT_EQ(result, 0);
  const std::vector<std::string> all = PrintedLines();
  const std::vector<std::string> lines(all.begin() + static_cast<long>(before), all.end());
  auto count = [&](const std::string& start) {
    std::size_t n = 0;
    for (const std::string& l : lines) n += l.rfind(start, 0) == 0 ? 1 : 0;
    return n;
  };
  EXPECT_EQ(count("Settings: jog step \"7\" is not one of 0.01, 0.1, 1, 10 mm; 1 mm used instead"), 1u);
  EXPECT_EQ(count("Settings: the soft limits of X are unusable, 0 to 300 mm used instead"), 1u);
  EXPECT_EQ(count("Settings: the soft limits of Y are unusable, 0 to 300 mm used instead"), 1u);
  EXPECT_EQ(count("Settings: the soft limits of Z"), 0u);
}

// Opens the limits dialog, types `text` into its fields (by name: xMin, xMax, ...) and
// presses OK.
void editLimits(Operator& op, const std::vector<std::pair<const char*, const char*>>& text) {
  op.click(PANEL_LIMITS);
  ASSERT_TRUE(op.waitFor([&] {
    bool shown = false;
    op.onGuiThread([&] {
      QWidget* modal = QApplication::activeModalWidget();
      shown = modal && modal->objectName() == "limitsDialog";
    });
    return shown;
  }));
  op.onGuiThread([&] {
    QWidget* dialog = QApplication::activeModalWidget();
    for (const auto& [name, value] : text) {
      auto* field = dialog->findChild<QLineEdit*>(name);
      ASSERT_NE(field, nullptr) << name;
      field->setFocus();
      field->selectAll();
      QTest::keyClicks(field, value);
    }
    auto* box = dialog->findChild<QDialogButtonBox*>();
    QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
  });
}

TEST_F(ManualTest, LimitsTypedInTheDialogAreCheckedTakenAndKept) {
  struct Case {
    const char* what;
    const char* min;
    const char* max;
    bool taken;
  };
  const Case cases[] = {
      {"a narrower range", "10", "200", true},
      {"minimum above maximum", "250", "100", false},
      {"minimum equal to maximum", "100", "100", false},
      {"NaN minimum", "nan", "100", false},
      {"no number", "abc", "100", false},
      {"infinite maximum", "0", "inf", false},
  };
  const int result = RunQuarlex([&](Operator& op) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const std::size_t before = op.lines().size();
      motion_sim::clearCallLog();
      editLimits(op, {{"yMin", c.min}, {"yMax", c.max}});
      if (!c.taken) {
        ASSERT_TRUE(op.waitFor([&] { return !op.popupText().empty(); }));
        EXPECT_EQ(op.popupText().rfind("Soft limits: The soft limits are not changed.", 0), 0u)
            << op.popupText();
        op.dismissPopup();
      }
      PressStop(op);
      const std::vector<std::string> lines = linesSince(op, before);
      EXPECT_TRUE(Commands().empty());
      if (c.taken) {
        EXPECT_TRUE(lines.empty());
      } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind("Soft limits refused, nothing changed: Y minimum ", 0), 0u) << lines[0];
      }
      // Whatever was refused, the range taken first (10 to 200 mm) still holds.
      const std::size_t beforeGoTo = op.lines().size();
      op.type(PANEL_TARGET_Y, 5.0);
      Press(op, PANEL_GOTO_Y);
      EXPECT_EQ(linesSince(op, beforeGoTo),
                std::vector<std::string>{"Axis Y: go to 5 mm refused, outside its soft limits 10 to 200 mm"});
      EXPECT_TRUE(op.waitFor(
          [&] { return LabelText(op, "limitsLabel").find("Y 10 to 200,") != std::string::npos; }));
    }
    char stored[32];
    EXPECT_EQ(GetSetting("limits/Ymin", stored, sizeof stored), 2);
    EXPECT_STREQ(stored, "10");
  });
  EXPECT_EQ(result, 0);
  // The next session starts with the range taken.
  motion_sim::reset();
  const int second = RunQuarlex([](Operator& op) {
    op.type(PANEL_TARGET_Y, 200.5);
    motion_sim::clearCallLog();
    Press(op, PANEL_GOTO_Y);
    EXPECT_TRUE(Commands().empty());
    std::string tip;
    op.onGuiThread([&] { tip = widgetOf(PANEL_TARGET_Y)->toolTip().toStdString(); });
    EXPECT_NE(tip.find("10 to 200 mm"), std::string::npos) << tip;
  });
  EXPECT_EQ(second, 0);
}

TEST_F(ManualTest, ScanGridsAtJustInsideAndJustOutsideTheLimitsAreCheckedBeforeAnyMove) {
  struct Case {
    const char* what;
    Grid grid;
    const char* refusal;  // the pop-up's last line, or null when the scan runs
  };
  const Case cases[] = {
      {"x ends at the maximum", {{3, 1, 1}, {1, 0, 0}, {296.0, 20.0, 5.0}, {2.0, 2.0, 0.5}}, nullptr},
      {"x starts at the minimum", {{3, 1, 1}, {1, 0, 0}, {0.0, 20.0, 5.0}, {0.5, 2.0, 0.5}}, nullptr},
      {"x ends just past the maximum", {{3, 1, 1}, {1, 0, 0}, {296.0, 20.0, 5.0}, {2.0001, 2.0, 0.5}},
       "X index 2 at 300 mm is outside its soft limits 0 to 300 mm."},
      {"y starts just below the minimum", {{1, 4, 1}, {0, 1, 0}, {10.0, -0.001, 5.0}, {1.0, 1.0, 0.5}},
       "Y index 0 at -0.001 mm is outside its soft limits 0 to 300 mm."},
      {"z runs backwards out of the travel", {{1, 1, 3}, {0, 0, 1}, {10.0, 20.0, 1.0}, {1.0, 1.0, -1.0}},
       "Z index 2 at -1 mm is outside its soft limits 0 to 300 mm."},
      {"an unticked axis's start outside", {{2, 1, 1}, {1, 0, 0}, {10.0, 400.0, 5.0}, {1.0, 1.0, 0.5}},
       "Y index 0 at 400 mm is outside its soft limits 0 to 300 mm."},
      {"a NaN step", {{3, 1, 1}, {1, 0, 0}, {10.0, 20.0, 5.0}, {kNaN, 1.0, 0.5}},
       "X index 0 at nan mm is outside its soft limits 0 to 300 mm."},  // 0 * NaN is NaN
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      TypeGrid(op, c.grid);
      SetCtrlVal(p1_h, PANEL_DX, c.grid.step[0]);  // NaN: past what the spin box holds
      SetCtrlVal(p1_h, PANEL_DY, c.grid.step[1]);
      SetCtrlVal(p1_h, PANEL_Y0, c.grid.start[1]);
      const std::size_t before = op.lines().size();
      motion_sim::clearCallLog();
      if (c.refusal == nullptr) {
        RunScan(op);
        const std::vector<Move> moves = AbsoluteMoves();
        ASSERT_FALSE(moves.empty());
        EXPECT_EQ(moves.back(), (Move{'X', c.grid.start[0] + 2 * c.grid.step[0]}));
        continue;
      }
      op.click(PANEL_SCAN_START);
      ASSERT_TRUE(op.waitFor([&] { return !op.popupText().empty(); }));
      const std::string popup = op.popupText();
      EXPECT_EQ(popup.rfind("Error: The scan grid leaves the soft limits", 0), 0u) << popup;
      EXPECT_EQ(popup.substr(popup.size() - std::strlen(c.refusal)), c.refusal) << popup;
      op.dismissPopup();
      PressStop(op);
      EXPECT_TRUE(Commands().empty());
      EXPECT_EQ(linesSince(op, before),
                std::vector<std::string>{std::string("Scan refused, nothing moved: ") +
                                         std::string(c.refusal, std::strlen(c.refusal) - 1)});
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, AScanWithDisabledStagesKeepsItsPopupAndNamesTheAxes) {
  const int result = RunQuarlex([](Operator& op) {
    Press(op, PANEL_ENABLE_Y);
    ASSERT_TRUE(op.waitFor([&] { return (static_cast<unsigned>(op.readInt(PANEL_STATUS_Y)) & 0x80000000u) != 0; }));
    const std::size_t before = op.lines().size();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return !op.popupText().empty(); }));
    EXPECT_EQ(op.popupText(), "Error: Enable LTS Stages First");
    op.dismissPopup();
    PressStop(op);
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(linesSince(op, before), std::vector<std::string>{"Scan refused: stage X, Z disabled"});
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, KeysJogAndStopOncePerPress) {
  struct Case {
    Qt::Key key;
    std::vector<Command> sent;
  };
  const std::vector<Command> stopAll = {
      {"ISC_StopProfiled", 0, {}}, {"ISC_StopProfiled", 1, {}}, {"ISC_StopProfiled", 2, {}}};
  const Case cases[] = {
      {Qt::Key_Left, relativeMove(0, -409600)},     {Qt::Key_Right, relativeMove(0, 409600)},
      {Qt::Key_Down, relativeMove(1, -409600)},     {Qt::Key_Up, relativeMove(1, 409600)},
      {Qt::Key_PageDown, relativeMove(2, -409600)}, {Qt::Key_PageUp, relativeMove(2, 409600)},
      {Qt::Key_Escape, stopAll},
  };
  const int result = RunQuarlex([&](Operator& op) {
    focus(op, PANEL_QUIT);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.key);
      motion_sim::clearCallLog();
      // One press, then the auto-repeat of a key held down: one operation only.
      pressKey(op, c.key);
      for (int i = 0; i < 5; i++) pressKey(op, c.key, true);
      PressStop(op);
      EXPECT_EQ(Commands(), c.sent);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ManualTest, AFocusedTargetFieldTakesNoStepFromKeysOrWheelAndJogsNothing) {
  const int result = RunQuarlex([&](Operator& op) {
    op.type(PANEL_TARGET_X, 12.5);
    focus(op, PANEL_TARGET_X);
    motion_sim::clearCallLog();
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Left,
                        Qt::Key_Right}) {
      pressKey(op, key);
    }
    op.onGuiThread([] {
      QWidget* field = widgetOf(PANEL_TARGET_X);
      const QPointF at(field->width() / 2.0, field->height() / 2.0);
      QWheelEvent wheel(at, field->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(field, &wheel);
    });
    PressStop(op);
    EXPECT_TRUE(Commands().empty());
    double shown = 0.0;
    op.onGuiThread([&] { shown = qobject_cast<QDoubleSpinBox*>(widgetOf(PANEL_TARGET_X))->value(); });
    EXPECT_DOUBLE_EQ(shown, 12.5);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_TARGET_X), 12.5);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
