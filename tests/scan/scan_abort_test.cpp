// Aborting a scan: it ends at once, with no further move and every stage stopped, and the
// abort does not reach the next scan.
#include <gtest/gtest.h>

#include <set>
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
#include "scan.h"

namespace {

using motion_sim::kSerials;

class ScanAbortTest : public SimulatedRigTest {
 protected:
  ScanAbortTest() : SimulatedRigTest(200.0) {}
};

bool xMoveSent() {
  for (const Command& c : Commands()) {
    if (c.function == "ISC_MoveAbsolute" && c.axis == 0) return true;
  }
  return false;
}

TEST_F(ScanAbortTest, AnAbortEndsTheScanWithEveryStageStoppedAndNoFurtherMove) {
  // X never reports its move's end: only the abort can end that wait before the watchdog.
  motion_sim::neverComplete(kSerials[0], true);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 2}, {1, 1, 1}});
    platform_clock::setSpeed(1.0);  // the watchdog's 10 s are real seconds
    runtime_testing::stdioClear();
    runtime_testing::recordWrites(p1_h, PANEL_PROGRESS);
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor(xMoveSent));
    const double abortedAt = platform_clock::now();
    ScanAbort();
    ASSERT_TRUE(WaitForScanEnd(op));
    // Within a few polls of the wait, far from the watchdog's 10 s.
    EXPECT_LT(platform_clock::now() - abortedAt, 5.0);
    const std::vector<Move> moves = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}};
    EXPECT_EQ(AbsoluteMoves(), moves);
    // After the last move only stops, and each stage got one.
    const std::vector<Command> commands = Commands();
    std::size_t last = 0;
    for (std::size_t i = 0; i < commands.size(); i++) {
      if (commands[i].function == "ISC_MoveAbsolute") last = i;
    }
    std::set<int> stopped;
    for (std::size_t i = last + 1; i < commands.size(); i++) {
      EXPECT_EQ(commands[i].function, "ISC_StopProfiled");
      stopped.insert(commands[i].axis);
    }
    EXPECT_EQ(stopped, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(runtime_testing::writes(p1_h, PANEL_PROGRESS).empty()) << "no point was completed";
    // No time-out line: only the outcome, told as an abort.
    EXPECT_EQ(PrintedLines(),
              std::vector<std::string>{"Scan aborted: 0 of 12 points done, 0 points timed out"});
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);

    // The next scan runs in full.
    platform_clock::setSpeed(200.0);
    motion_sim::neverComplete(kSerials[0], false);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    motion_sim::clearCallLog();
    RunScan(op);
    EXPECT_EQ(AbsoluteMoves().size(), 7u);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
