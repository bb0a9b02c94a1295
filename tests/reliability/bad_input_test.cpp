// Every number the operator can type, at its limits and beyond: what reaches the stages and
// what the operator is told. Values a spin box cannot hold (NaN, infinities, values past its
// range) are stored in the control directly, as a changed panel file could let them in.
#include <gtest/gtest.h>

#include <QSettings>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Soft limits far beyond the stages' device-unit range, so that the numbers reach the
// conversion to device units; the soft limits themselves are tested in the manual tests.
class BadInputTest : public SimulatedRigTest {
 protected:
  BadInputTest() : SimulatedRigTest(200.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    for (const char* axis : {"X", "Y", "Z"}) {
      SetSetting((std::string("limits/") + axis + "min").c_str(), "-1e6");
      SetSetting((std::string("limits/") + axis + "max").c_str(), "1e6");
    }
  }
  void TearDown() override {
    QSettings(QSettings::IniFormat, QSettings::UserScope, "Quarlex", "Quarlex").remove("limits");
    SimulatedRigTest::TearDown();
  }
};

std::size_t refusals(const std::vector<std::string>& lines, std::size_t from) {
  std::size_t n = 0;
  for (std::size_t i = from; i < lines.size(); i++) n += lines[i].find("refused") != std::string::npos ? 1 : 0;
  return n;
}

TEST_F(BadInputTest, GoToTargetsAtAndBeyondTheLimits) {
  struct Case {
    const char* what;
    double value;
    bool typed;           // typed into the spin box, else stored in the control
    long long sent;       // device units the stage receives
    bool refused;
    const char* line;     // how the refusal's line starts, after "Axis "
  };
  const Case cases[] = {
      {"largest the panel allows", 1000.0, true, 409600000, false, nullptr},
      {"smallest the panel allows", -1000.0, true, -409600000, false, nullptr},
      {"typed past the range is held at it", 5000.0, true, 409600000, false, nullptr},
      {"smallest step", 0.0001, true, 40, false, nullptr},
      {"NaN", kNaN, false, 0, true, "?: go to nan mm refused, outside its soft limits"},
      {"+inf", kInf, false, 0, true, "?: go to inf mm refused, outside its soft limits"},
      {"-inf", -kInf, false, 0, true, "?: go to -inf mm refused, outside its soft limits"},
      {"beyond the device-unit range", 6000.0, false, 0, true, "#: move to "},
      {"far beyond", -1e300, false, 0, true, "?: go to -1e+300 mm refused, outside its soft limits"},
      {"largest double", std::numeric_limits<double>::max(), false, 0, true, "?: go to 1.79769e+308 mm"},
  };
  const int target[3] = {PANEL_TARGET_X, PANEL_TARGET_Y, PANEL_TARGET_Z};
  const int go[3] = {PANEL_GOTO_X, PANEL_GOTO_Y, PANEL_GOTO_Z};
  const int result = RunQuarlex([&](Operator& op) {
    for (const Case& c : cases) {
      for (int axis = 0; axis < 3; axis++) {
        SCOPED_TRACE(std::string(c.what) + " on axis " + std::to_string(axis));
        if (c.typed) {
          op.type(target[axis], c.value);
        } else {
          SetCtrlVal(p1_h, target[axis], c.value);
        }
        const std::size_t before = op.lines().size();
        motion_sim::clearCallLog();
        Press(op, go[axis]);
        const std::vector<Command> sent = Commands();
        if (c.refused) {
          EXPECT_TRUE(sent.empty());
          const std::vector<std::string> lines = op.lines();
          ASSERT_EQ(lines.size(), before + 1);
          // '?' stands for the axis's letter, '#' for its index.
          std::string line = std::string("Axis ") + c.line;
          line[5] = line[5] == '?' ? "XYZ"[axis] : static_cast<char>('0' + axis);
          EXPECT_EQ(lines.back().rfind(line, 0), 0u) << lines.back();
        } else {
          const std::vector<Command> expected = {{"ISC_SetMoveAbsolutePosition", axis, {c.sent}},
                                                 {"ISC_MoveAbsolute", axis, {}}};
          EXPECT_EQ(sent, expected);
        }
      }
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(BadInputTest, ScanGridsAtAndBeyondTheLimits) {
  struct Case {
    const char* what;
    Grid grid;
    std::size_t moves;     // absolute moves sent
    std::size_t refused;   // moves refused with a line
    double progress;       // shown at the end; 42 means untouched
  };
  const Case cases[] = {
      {"no points along z", {{3, 3, 0}, {1, 1, 1}}, 0, 0, 42.0},
      {"negative count along y", {{3, -4, 1}, {1, 1, 1}}, 1, 0, 42.0},
      {"zero steps stay at the start", {{3, 1, 1}, {1, 0, 0}, {10.0, 20.0, 5.0}, {0.0, 0.0, 0.0}}, 5, 0, 100.0},
      {"negative steps run backwards", {{3, 1, 1}, {1, 0, 0}, {10.0, 20.0, 5.0}, {-2.0, 0.0, 0.0}}, 5, 0, 100.0},
      // 1000 mm, then every 1000 mm: past 5242 mm the positions cannot be converted.
      {"positions past the device-unit range", {{8, 1, 1}, {1, 0, 0}, {1000.0, 20.0, 5.0}, {1000.0, 0.0, 0.0}},
       7, 3, 100.0},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      TypeGrid(op, c.grid);
      // Past what the spin boxes hold: stored in the controls directly.
      SetCtrlVal(p1_h, PANEL_NY, c.grid.n[1]);
      SetCtrlVal(p1_h, PANEL_DX, c.grid.step[0]);
      SetCtrlVal(p1_h, PANEL_X0, c.grid.start[0]);
      SetCtrlVal(p1_h, PANEL_PROGRESS, 42.0);
      const std::size_t before = op.lines().size();
      motion_sim::clearCallLog();
      RunScan(op);
      EXPECT_EQ(AbsoluteMoves().size(), c.moves);
      EXPECT_EQ(refusals(op.lines(), before), c.refused);
      EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), c.progress);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(BadInputTest, AGridOfMoreThanTwoToTheThirtyOnePointsCountsItsProgress) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    // 10^15 points at the spin boxes' largest counts.
    TypeGrid(op, Grid{{100000, 100000, 100000}, {1, 1, 1}, {10.0, 20.0, 5.0}, {0.001, 0.001, 0.001}});
    EXPECT_EQ(op.readInt(PANEL_NX), 100000);
    runtime_testing::recordWrites(p1_h, PANEL_PROGRESS);
    RecordScanLed();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([] { return runtime_testing::writes(p1_h, PANEL_PROGRESS).size() >= 5; }));
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd(op));
    const std::vector<double> progress = runtime_testing::writes(p1_h, PANEL_PROGRESS);
    ASSERT_GE(progress.size(), 5u);
    for (std::size_t i = 0; i < progress.size(); i++) {
      EXPECT_DOUBLE_EQ(progress[i], 100.0 * (static_cast<double>(i + 1) / 1e15));
    }
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
