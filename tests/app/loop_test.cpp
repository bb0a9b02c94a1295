// The event loop's stop test, scan-running gate and quit, through the real panel.
#include <gtest/gtest.h>

#include <QWidget>

#include "gui_helpers.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "scan.h"

namespace {

class LoopTest : public SimulatedRigTest {
 protected:
  LoopTest() : SimulatedRigTest(1000.0) {}
};

bool stageCommanded() {
  for (const char* f : {"ISC_EnableChannel", "ISC_MoveRelativeDistance", "ISC_MoveAbsolute", "ISC_Home",
                        "ISC_StopProfiled", "ISC_Close"}) {
    if (!motion_sim::calls(f).empty()) return true;
  }
  return false;
}

TEST_F(LoopTest, StopWithNoScanOnlyRaisesTheStopFlag) {
  const int result = RunQuarlex([](Operator& op) {
    runtime_testing::stdioSync();
    runtime_testing::stdioClear();
    motion_sim::clearCallLog();
    PressStop(op);
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);
    EXPECT_FALSE(stageCommanded());
    EXPECT_TRUE(op.lines().empty());
  });
  EXPECT_EQ(result, 0);
}

TEST_F(LoopTest, WhileAScanRunsEveryEventButStopIsDropped) {
  const int result = RunQuarlex([](Operator& op) {
    ScanScheduled(true);                  // as the start of a scan does
    op.onGuiThread([] {});                // a refresh row under way has ended
    runtime_testing::stdioSync();
    runtime_testing::stdioClear();
    motion_sim::clearCallLog();
    for (int control : {PANEL_QUIT, PANEL_ENABLE_X, PANEL_JOG_Y_PLUS, PANEL_GOTO_ALL, PANEL_HOME_Z,
                        PANEL_RST_1, PANEL_SCAN_START}) {
      op.click(control);
    }
    QueueUserEvent(1, p1_h, PANEL_REFRESH);
    PressStop(op);  // acts although the gate then drops it
    EXPECT_FALSE(stageCommanded());
    EXPECT_TRUE(motion_sim::calls("ISC_GetPosition").empty());  // the refresh was dropped too
    EXPECT_TRUE(op.lines().empty());
    EXPECT_TRUE(op.popupText().empty());
    // Nothing was kept for later: once the scan is over, only the next quit ends the loop.
    ScanEnded();
    PressStop(op);
    EXPECT_FALSE(stageCommanded());
    op.click(PANEL_QUIT);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(LoopTest, AnIdWithoutARowChangesNothing) {
  const int result = RunQuarlex([](Operator& op) {
    PauseRefresh(op);
    runtime_testing::stdioSync();
    runtime_testing::stdioClear();
    motion_sim::clearCallLog();
    for (int control : {85, 1, 107, static_cast<int>(PANEL_LTSTIMER)}) QueueUserEvent(1, p1_h, control);
    PressStop(op);
    EXPECT_TRUE(motion_sim::callLog().empty());
    EXPECT_TRUE(op.lines().empty());
  });
  EXPECT_EQ(result, 0);
}

TEST_F(LoopTest, ClosingTheWindowActsAsQuit) {
  const int result = RunQuarlex([](Operator& op) {
    op.onGuiThread([] { test_support::requestPanelClose(p1_h); });
    EXPECT_TRUE(op.waitForProgramEnd());
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(motion_sim::calls("ISC_Close").size(), 3u);
}

TEST_F(LoopTest, EachDispatchedRowIsFollowedByAMillisecondPause) {
  const int result = RunQuarlex([](Operator& op) {
    PauseRefresh(op);
    motion_sim::clearCallLog();
    // Slow: the pause takes 50 ms of real time, far more than handling a row does.
    platform_clock::setSpeed(0.02);
    for (int control : {PANEL_ENABLE_X, PANEL_ENABLE_Y}) QueueUserEvent(EVENT_COMMIT, p1_h, control);
    const bool both = op.waitFor([] { return motion_sim::callTimes("ISC_EnableChannel").size() == 2u; });
    platform_clock::setSpeed(1000.0);
    ASSERT_TRUE(both);
    const std::vector<double> enabled = motion_sim::callTimes("ISC_EnableChannel");
    EXPECT_GE(enabled[1] - enabled[0], 0.001);
    EXPECT_LT(enabled[1] - enabled[0], 0.001 + 0.05);  // 2.5 s of real time to spare
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
