// How a scan ended, told by one printed line and on the panel; time-outs stay visible on the
// panel until the next scan starts.
#include <gtest/gtest.h>

#include <QLabel>
#include <QString>

#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

class ScanOutcomeTest : public SimulatedRigTest {
 protected:
  ScanOutcomeTest() : SimulatedRigTest(200.0) {}
};

// Lines printed from `from` on that start with "Scan ".
std::vector<std::string> scanLines(Operator& op, std::size_t from) {
  std::vector<std::string> found;
  const std::vector<std::string> lines = op.lines();
  for (std::size_t i = from; i < lines.size(); i++) {
    if (lines[i].rfind("Scan ", 0) == 0) found.push_back(lines[i]);
  }
  return found;
}

TEST_F(ScanOutcomeTest, EachScanEndsWithOneLineAndTimeOutsStayShownUntilTheNextScan) {
  struct Case {
    const char* what;
    int neverCompletes;  // axis whose moves never report completion, -1 for none
    Grid grid;
    std::string line;
    std::string timeoutsShown;
  };
  const Case cases[] = {
      {"a clean scan", -1, {{2, 1, 1}, {1, 1, 1}},
       "Scan finished: 2 of 2 points done, 0 points timed out", ""},
      {"y never completes: every point of both rows counts", 1, {{2, 2, 1}, {1, 1, 1}},
       "Scan finished: 4 of 4 points done, 4 points timed out (first at ix 0, iy 0, iz 0, axis Y)",
       "4 points timed out"},
      {"the next clean scan clears the indicator", -1, {{1, 1, 1}, {0, 0, 0}},
       "Scan finished: 1 of 1 points done, 0 points timed out", ""},
      {"z never completes on a one-point scan", 2, {{1, 1, 1}, {0, 0, 0}},
       "Scan finished: 1 of 1 points done, 1 point timed out (first at ix 0, iy 0, iz 0, axis Z)",
       "1 point timed out"},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      for (int k = 0; k < 3; k++) motion_sim::neverComplete(kSerials[k], k == c.neverCompletes);
      TypeGrid(op, c.grid);
      const std::size_t before = op.lines().size();
      RunScan(op);
      EXPECT_EQ(scanLines(op, before), std::vector<std::string>{c.line});
      EXPECT_TRUE(op.waitFor([&] {
        return LabelText(op, kOutcomeLabel) == c.line &&
               LabelText(op, kTimeoutsLabel) == c.timeoutsShown;
      }, 10.0)) << LabelText(op, kOutcomeLabel) << " / " << LabelText(op, kTimeoutsLabel);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanOutcomeTest, AStoppedScanTellsThePointsDoneAgainstThePlanned) {
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);  // 10 s per x-move: time to press stop
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 1}, {1, 1, 1}});
    const std::size_t before = op.lines().size();
    RecordScanLed();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_IX) == 1 && op.readInt(PANEL_MOVELED) == 1; }));
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd(op));
    const std::string line =
        "Scan stopped by the operator: 2 of 6 points done, 2 points timed out "
        "(first at ix 0, iy 0, iz 0, axis X)";
    EXPECT_EQ(scanLines(op, before), std::vector<std::string>{line});
    EXPECT_TRUE(op.waitFor([&] { return LabelText(op, kTimeoutsLabel) == "2 points timed out"; }, 10.0));
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
