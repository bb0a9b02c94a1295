// Faults injected through the simulator, end to end through the panel: what the operator
// sees, and that the program goes on working afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
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
using motion_sim::Message;

class FaultTest : public SimulatedRigTest {
 protected:
  FaultTest() : SimulatedRigTest(200.0) {}
};

std::vector<std::string> linesFrom(Operator& op, std::size_t first) {
  const std::vector<std::string> all = op.lines();
  return {all.begin() + static_cast<long>(std::min(first, all.size())), all.end()};
}

std::size_t countStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  std::size_t n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0 ? 1 : 0;
  return n;
}

TEST_F(FaultTest, AStageThatFailsToOpenLeavesTheOthersUsable) {
  const int enable[3] = {PANEL_ENABLE_X, PANEL_ENABLE_Y, PANEL_ENABLE_Z};
  const int enabledLed[3] = {PANEL_LED_X_13, PANEL_LED_Y_13, PANEL_LED_Z_13};
  for (int failing = 0; failing < 3; failing++) {
    for (const short code : {short{2}, short{-1}}) {
      SCOPED_TRACE("axis " + std::to_string(failing) + " code " + std::to_string(code));
      motion_sim::reset();
      motion_sim::failOpen(kSerials[failing], code);
      const int result = RunQuarlex([&](Operator& op) {
        // The stages opened before the failing one answer commands; the others cannot.
        for (int axis = 0; axis < 3; axis++) Press(op, enable[axis]);
        for (int axis = 0; axis < failing; axis++) {
          EXPECT_TRUE(op.waitFor([&] { return op.readInt(enabledLed[axis]) == 1; }));
        }
        // Two full refreshes later the other stages still show no enabled bit.
        const std::size_t reads = motion_sim::callCount("ISC_GetPosition");
        EXPECT_TRUE(op.waitFor([&] { return motion_sim::callCount("ISC_GetPosition") >= reads + 6; }));
        for (int axis = failing; axis < 3; axis++) EXPECT_EQ(op.readInt(enabledLed[axis]), 0);
      });
      EXPECT_EQ(result, 0);
      EXPECT_EQ(motion_sim::calls("ISC_Open").size(), static_cast<std::size_t>(failing + 1));
      EXPECT_EQ(motion_sim::calls("ISC_Close").size(), 3u);
    }
  }
}

TEST_F(FaultTest, AnEarlierGoToCompletionEndsTheFirstScanWaitEarly) {
  platform_clock::setSpeed(10.0);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    op.type(PANEL_TARGET_X, 12.0);
    op.click(PANEL_GOTO_X);
    // The go-to's moved message stays queued: the panel never reads it.
    ASSERT_TRUE(op.waitFor([] { return motion_sim::stage(kSerials[0]).queue.size() == 1; }));
    // One point, 188 mm away from X: a move of almost 5 s.
    TypeGrid(op, Grid{{1, 1, 1}, {1, 0, 0}, {200.0, 25.0, 25.0}});
    RunScan(op);
    // The x-wait took the old message and the scan ended while the stage was still on its
    // way, without a time-out.
    EXPECT_TRUE(motion_sim::stage(kSerials[0]).moving);
    EXPECT_EQ(countStarting(op.lines(), "Timeout"), 0u);
    // The new move's own message is left in the queue in its turn.
    EXPECT_TRUE(op.waitFor([] {
      return motion_sim::stage(kSerials[0]).queue == std::vector<Message>{{2, 1, 0}} &&
             !motion_sim::stage(kSerials[0]).moving;
    }));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(FaultTest, AnErrorQueueSizeIsReadUntilTheWatchdogEndsTheWait) {
  platform_clock::setSpeed(10.0);
  motion_sim::setCallLogCapacity(1000);  // the wait reads as fast as it can
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    // Only the x-move takes time; it never reports completion.
    TypeGrid(op, Grid{{1, 1, 1}, {0, 0, 0}, {10.0, 25.0, 25.0}});
    motion_sim::setQueueSizeError(kSerials[0], -1);
    motion_sim::neverComplete(kSerials[0], true);
    const std::size_t before = op.lines().size();
    const double started = platform_clock::now();
    RunScan(op);
    const double took = platform_clock::now() - started;
    // The x-move's wait spins on the error until its 10 s watchdog, and no longer.
    EXPECT_GE(took, 10.0);
    EXPECT_LT(took, 14.0);
    EXPECT_GT(motion_sim::callCount("ISC_GetNextMessage"), 100u);
    const std::vector<std::string> lines = linesFrom(op, before);
    EXPECT_EQ(countStarting(lines, "Timeout in axis [0] pos: 10.000000 messageType 0, messageId 0"), 1u);
    // Afterwards the program goes on: with the queue mended the next scan runs cleanly.
    motion_sim::setQueueSizeError(kSerials[0], 0);
    motion_sim::neverComplete(kSerials[0], false);
    const std::size_t after = op.lines().size();
    RunScan(op);
    EXPECT_EQ(countStarting(linesFrom(op, after), "Timeout"), 0u);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(FaultTest, AStageThatStallsDuringAScanTimesOutAndTheScanGoesOn) {
  // The stall must land inside the second point's 3 s move: 0.75 s of real time.
  platform_clock::setSpeed(4.0);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 1, 1}, {1, 0, 0}, {30.0, 20.0, 5.0}, {100.0, 0.0, 0.0}});
    RecordScanLed();
    const std::size_t before = op.lines().size();
    op.click(PANEL_SCAN_START);
    // Stall X during the second point's 100 mm move (3 s).
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_IX) == 1 && op.readInt(PANEL_MOVELED) == 1; }));
    motion_sim::stall(kSerials[0], true);
    ASSERT_TRUE(WaitForScanEnd(op));
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
    // The second and third x-moves never complete: two time-outs, and every point visited.
    EXPECT_EQ(countStarting(linesFrom(op, before), "Timeout in axis [0]"), 2u);
    EXPECT_EQ(motion_sim::callCount("ISC_MoveAbsolute"), 5u);
    // Released, the stage moves again.
    motion_sim::stall(kSerials[0], false);
    op.type(PANEL_TARGET_X, 15.0);
    op.click(PANEL_GOTO_X);
    EXPECT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_POS_X) == 15.0; }));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(FaultTest, StopWhileAStageMovesBringsItToRestShortOfTheTarget) {
  platform_clock::setSpeed(5.0);
  const int result = RunQuarlex([](Operator& op) {
    Press(op, PANEL_ENABLE_Y);
    op.type(PANEL_TARGET_Y, 200.0);
    op.click(PANEL_GOTO_Y);
    ASSERT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_POS_Y) > 60.0; }));
    op.click(PANEL_STOP_Y);
    ASSERT_TRUE(op.waitFor([] { return !motion_sim::stage(kSerials[1]).moving; }));
    const double stoppedAt = motion_sim::stage(kSerials[1]).positionMm;
    EXPECT_LT(stoppedAt, 200.0);
    EXPECT_EQ(motion_sim::stage(kSerials[1]).queue, (std::vector<Message>{{2, 2, 0}}));
    EXPECT_TRUE(op.waitFor([&] {
      return std::abs(op.readDouble(PANEL_POS_Y) - stoppedAt) < 1e-5 && op.readInt(PANEL_LED_Y_4) == 0;
    }));
    // A later go-to still reaches its target.
    op.click(PANEL_GOTO_Y);
    EXPECT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_POS_Y) == 200.0; }));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(FaultTest, AFloodOfOtherMessagesDuringWaitsIsReadAndDropped) {
  // Slow enough that reading ten thousand messages fits well inside a 10 s watchdog even
  // under a thread checker.
  platform_clock::setSpeed(10.0);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{4, 1, 1}, {1, 0, 0}});
    for (int i = 0; i < 5000; i++) motion_sim::injectMessage(kSerials[0], 1, static_cast<WORD>(i), 0);
    const std::size_t before = op.lines().size();
    RecordScanLed();
    op.click(PANEL_SCAN_START);
    // More arrive while the scan waits, of every type but the completion.
    std::thread flood([] {
      for (int i = 0; i < 5000; i++) motion_sim::injectMessage(kSerials[0], 2, static_cast<WORD>(3 + i % 100), 0);
    });
    flood.join();
    ASSERT_TRUE(WaitForScanEnd(op));
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
    EXPECT_EQ(motion_sim::callCount("ISC_MoveAbsolute"), 6u);
    EXPECT_EQ(countStarting(linesFrom(op, before), "Timeout"), 0u);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
