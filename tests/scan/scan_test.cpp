// The raster scan through the real panel on the simulated rig: order and count of moves,
// progress, stop, refusal, and the gate while it runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "run_state.h"
#include "scan.h"

namespace {

using motion_sim::kSerials;

std::vector<double> percents(int points) {
  std::vector<double> p;
  for (int i = 1; i <= points; i++) p.push_back(100.0 * (static_cast<double>(i) / points));
  return p;
}

class ScanTest : public SimulatedRigTest {
 protected:
  ScanTest() : SimulatedRigTest(200.0) {}
};

TEST_F(ScanTest, VisitsTheGridInRasterOrderWithProgress) {
  struct Case {
    const char* what;
    Grid grid;
    std::vector<Move> moves;
    std::vector<double> progress;  // every value written, in order
  };
  const Case cases[] = {
      {"3 x 2 x 1, all axes on", {{3, 2, 1}, {1, 1, 1}},
       {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0}, {'X', 12.0},
        {'Y', 22.0}, {'X', 10.0}, {'X', 11.0}, {'X', 12.0}},
       percents(6)},
      {"all axes off: one point at the start", {{4, 4, 4}, {0, 0, 0}},
       {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}}, {100.0}},
      {"x off with 5 points: single-point rows at x0", {{5, 2, 1}, {0, 1, 1}},
       {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'Y', 22.0}, {'X', 10.0}}, {50.0, 100.0}},
      {"two planes", {{1, 1, 2}, {1, 1, 1}},
       {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'Z', 5.5}, {'Y', 20.0}, {'X', 10.0}}, {50.0, 100.0}},
      {"no x points: only z and y move, progress untouched", {{0, 2, 1}, {1, 1, 1}},
       {{'Z', 5.0}, {'Y', 20.0}, {'Y', 22.0}}, {}},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      TypeGrid(op, c.grid);
      SetCtrlVal(p1_h, PANEL_PROGRESS, 42.0);
      runtime_testing::recordWrites(p1_h, PANEL_PROGRESS);
      runtime_testing::recordWrites(p1_h, PANEL_MOVELED);
      motion_sim::clearCallLog();
      RunScan(op);
      EXPECT_EQ(AbsoluteMoves(), c.moves);
      EXPECT_EQ(runtime_testing::writes(p1_h, PANEL_PROGRESS), c.progress);
      EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), c.progress.empty() ? 42.0 : 100.0);
      // The move LED: off at the start, then on around each move.
      std::vector<double> moveLed = {0.0};
      for (std::size_t i = 0; i < c.moves.size(); i++) moveLed.insert(moveLed.end(), {1.0, 0.0});
      EXPECT_EQ(runtime_testing::writes(p1_h, PANEL_MOVELED), moveLed);
      EXPECT_EQ(ctrl_c.load(), 0);
      EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, StopEndsTheScanAfterThePointUnderWay) {
  // Each x-move never reports completion, so its wait lasts the full 10 s watchdog: the stop
  // is pressed while the second point's move is waited for.
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 1}, {1, 1, 1}});
    RecordScanLed();
    runtime_testing::recordWrites(p1_h, PANEL_PROGRESS);
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_IX) == 1 && op.readInt(PANEL_MOVELED) == 1; }));
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd(op));
    const std::vector<Move> expected = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0}};
    EXPECT_EQ(AbsoluteMoves(), expected);
    // The second point completed: its progress was written.
    const std::vector<double> sixths = percents(6);
    const std::vector<double> twoOfSix(sixths.begin(), sixths.begin() + 2);
    EXPECT_EQ(runtime_testing::writes(p1_h, PANEL_PROGRESS), twoOfSix);
    EXPECT_EQ(ctrl_c.load(), 0);
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, AStopPressedWhileIdleDoesNotStopTheNextScan) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    PressStop(op);
    motion_sim::clearCallLog();
    RunScan(op);
    EXPECT_EQ(AbsoluteMoves().size(), 7u);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, StartIsRefusedUnlessEveryStageIsEnabled) {
  const int result = RunQuarlex([](Operator& op) {
    op.click(PANEL_ENABLE_X);
    op.click(PANEL_ENABLE_Z);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_LED_Z_13) == 1 && op.readInt(PANEL_LED_X_13) == 1; }));
    SetCtrlVal(p1_h, PANEL_MOVELED, 1);
    PauseRefresh(op);  // the start row's status reads are counted
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    std::string popup;
    ASSERT_TRUE(op.waitFor([&] { return !(popup = op.popupText()).empty(); }));
    EXPECT_EQ(popup, "Error: Enable LTS Stages First");
    EXPECT_EQ(op.readInt(PANEL_MOVELED), 1);
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);
    // Each stage's status word was asked for once, though Y alone already refuses.
    std::vector<std::string> serials;
    for (const motion_sim::Call& call : motion_sim::calls("ISC_GetStatusBits")) serials.push_back(call.serial);
    EXPECT_EQ(serials, std::vector<std::string>(kSerials, kSerials + 3));
    op.dismissPopup();
    PressStop(op);  // the loop goes on
    EXPECT_TRUE(AbsoluteMoves().empty());
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, WhileAScanRunsOnlyStopActsAndTheRefreshPauses) {
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);  // 10 s per x-move: time to press buttons
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 1, 1}, {1, 1, 1}});
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_MOVELED) == 1 && op.readInt(PANEL_IX) == 0; }));
    const std::size_t queuedBefore = runtime_testing::queuedEventCount();
    // Their buttons look dimmed now and take no click; their events can still reach the loop
    // (closing the window stands for QUIT), and the loop drops them.
    for (int control : {PANEL_QUIT, PANEL_JOG_X_PLUS, PANEL_GOTO_Y, PANEL_SCAN_START, PANEL_HOME_Z,
                        PANEL_DISABLE_Y}) {
      QueueUserEvent(EVENT_COMMIT, p1_h, control);
    }
    // A tenth of the x-move's wait: five refresh ticks, none of which asks for a refresh.
    Sleep(1000);
    EXPECT_EQ(runtime_testing::queuedEventCount() - queuedBefore, 6u);
    ASSERT_TRUE(WaitForScanEnd(op));
    const std::vector<Move> expected = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0}};
    EXPECT_EQ(AbsoluteMoves(), expected);
    // Nothing pressed during the scan was kept for later.
    PressStop(op);
    EXPECT_EQ(AbsoluteMoves(), expected);
    EXPECT_TRUE(motion_sim::calls("ISC_MoveRelativeDistance").empty());
    EXPECT_TRUE(motion_sim::calls("ISC_Home").empty());
    EXPECT_TRUE(motion_sim::calls("ISC_DisableChannel").empty());
    // The refresh resumes.
    const std::size_t queuedAfter = runtime_testing::queuedEventCount();
    EXPECT_TRUE(op.waitFor([&] { return runtime_testing::queuedEventCount() > queuedAfter + 2; }));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, AMoveThatNeverCompletesTimesOutAndTheScanGoesOn) {
  motion_sim::neverComplete(kSerials[1], true);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    const std::size_t before = op.lines().size();
    motion_sim::clearCallLog();
    RunScan(op);
    EXPECT_EQ(AbsoluteMoves().size(), 7u);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
    std::vector<std::string> timeouts;
    const std::vector<std::string> lines = op.lines();
    for (std::size_t i = before; i < lines.size(); i++) {
      if (lines[i].rfind("Timeout in axis", 0) == 0) timeouts.push_back(lines[i].substr(0, 19));
    }
    EXPECT_EQ(timeouts, std::vector<std::string>(2, "Timeout in axis [1]"));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, AnOperatorRunsAScanEndToEnd) {
  const int result = RunQuarlex([](Operator& op) {
    TypeGrid(op, Grid{{3, 3, 2}, {1, 1, 1}, {5.0, 6.0, 7.0}, {0.5, 0.5, 1.0}});
    EnableAll(op);
    for (int control : {PANEL_HOME_X, PANEL_HOME_Y, PANEL_HOME_Z}) op.click(control);
    ASSERT_TRUE(op.waitFor([&] {
      return op.readInt(PANEL_LED_X_10) == 1 && op.readInt(PANEL_LED_Y_10) == 1 &&
             op.readInt(PANEL_LED_Z_10) == 1;
    }));
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_PROGRESS) == 100.0 && op.readInt(PANEL_SCANLED) == 0; }));
    // The stages stand at the last point, and the resumed refresh shows it.
    EXPECT_TRUE(op.waitFor([&] {
      return op.readDouble(PANEL_POS_X) == 6.0 && op.readDouble(PANEL_POS_Y) == 7.0 &&
             op.readDouble(PANEL_POS_Z) == 8.0;
    }));
    EXPECT_EQ(op.readInt(PANEL_IX), 2);
    EXPECT_EQ(op.readInt(PANEL_IZ), 1);
    op.click(PANEL_QUIT);
    EXPECT_TRUE(op.waitForProgramEnd());
  });
  EXPECT_EQ(result, 0);
}

// Clock time of the last message read before `t`: the end of the wait for the move before.
double lastMessageReadBefore(double t) {
  double last = -1.0;
  for (const double read : motion_sim::callTimes("ISC_GetNextMessage")) {
    if (read < t) last = read;
  }
  return last;
}

TEST_F(ScanTest, StartIsRefusedWhicheverStageIsDisabled) {
  const int enable[3] = {PANEL_ENABLE_X, PANEL_ENABLE_Y, PANEL_ENABLE_Z};
  const int disable[3] = {PANEL_DISABLE_X, PANEL_DISABLE_Y, PANEL_DISABLE_Z};
  const int enabledLed[3] = {PANEL_LED_X_13, PANEL_LED_Y_13, PANEL_LED_Z_13};
  const int result = RunQuarlex([&](Operator& op) {
    TypeGrid(op, Grid{{1, 1, 1}, {0, 0, 0}});
    for (int off = 0; off < 3; off++) {
      SCOPED_TRACE(std::string("stage ") + "XYZ"[off] + " disabled");
      for (int axis = 0; axis < 3; axis++) op.click(axis == off ? disable[axis] : enable[axis]);
      ASSERT_TRUE(op.waitFor([&] {
        for (int axis = 0; axis < 3; axis++) {
          if (op.readInt(enabledLed[axis]) != (axis == off ? 0 : 1)) return false;
        }
        return true;
      }));
      RecordScanLed();
      motion_sim::clearCallLog();
      op.click(PANEL_SCAN_START);
      // Whichever comes, the refusal or the scan, ends this wait at once.
      std::string popup;
      ASSERT_TRUE(op.waitFor([&] {
        return !(popup = op.popupText()).empty() || !runtime_testing::writes(p1_h, PANEL_SCANLED).empty();
      }));
      ASSERT_EQ(popup, "Error: Enable LTS Stages First");
      op.dismissPopup();
      PressStop(op);
      EXPECT_TRUE(runtime_testing::writes(p1_h, PANEL_SCANLED).empty());
      EXPECT_TRUE(AbsoluteMoves().empty());
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, EachPointRefreshesThePanelOnceThenSettlesForATenthOfASecond) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    PauseRefresh(op);  // the positions shown are then written by the scan alone
    motion_sim::setInstantMoves(true);
    // Slow enough that scheduling delays stay far below the upper bound below.
    platform_clock::setSpeed(2.0);
    const int shownPositions[3] = {PANEL_POS_X, PANEL_POS_Y, PANEL_POS_Z};
    for (int control : shownPositions) runtime_testing::recordWrites(p1_h, control);
    motion_sim::clearCallLog();
    RunScan(op);
    platform_clock::setSpeed(200.0);
    // Each point refreshed the panel once. (Instant moves leave the sampled positions a poll
    // behind, so the values shown are not compared.)
    for (int control : shownPositions) EXPECT_EQ(runtime_testing::writes(p1_h, control).size(), 4u);
    // From the end of each x-move's wait to the next command: the point's dwell.
    const std::vector<Move> moves = AbsoluteMoves();
    const std::vector<double> commanded = motion_sim::callTimes("ISC_SetMoveAbsolutePosition");
    ASSERT_EQ(moves.size(), 7u);
    ASSERT_EQ(commanded.size(), 7u);
    int dwells = 0;
    for (std::size_t i = 1; i < moves.size(); i++) {
      if (moves[i - 1].axis != 'X') continue;
      const double dwell = commanded[i] - lastMessageReadBefore(commanded[i]);
      EXPECT_GE(dwell, 0.099) << "before move " << i;
      EXPECT_LT(dwell, 1.0) << "before move " << i;
      dwells++;
    }
    EXPECT_EQ(dwells, 3);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, AStopLetsThePointUnderWaySettleBeforeTheScanEnds) {
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);  // the x-move's wait lasts until we complete it
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 1, 1}, {1, 1, 1}});
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_IX) == 1 && op.readInt(PANEL_MOVELED) == 1; }));
    // Real time from here: the end of the scan is seen within milliseconds of its clock time.
    platform_clock::setSpeed(1.0);
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(op.waitFor([] { return ctrl_c.load() == 1; }));
    motion_sim::injectMessage(kSerials[0], 2, 1, 0);  // the second point's move completes
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (op.readInt(PANEL_SCANLED) != 0 && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double endedAt = platform_clock::now();
    platform_clock::setSpeed(200.0);
    ASSERT_EQ(op.readInt(PANEL_SCANLED), 0);
    const std::vector<Move> expected = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0}};
    EXPECT_EQ(AbsoluteMoves(), expected);
    const double settled = endedAt - lastMessageReadBefore(endedAt);
    EXPECT_GE(settled, 0.099);
    EXPECT_LT(settled, 0.1 + 2.0);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTest, AStopEndsAScanOfSeveralPlanesInThePlaneUnderWay) {
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);  // 10 s per x-move: time to press stop
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 3}, {1, 1, 1}});
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return motion_sim::calls("ISC_MoveAbsolute").size() == 3u; }));
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd(op));
    const std::vector<Move> expected = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}};
    EXPECT_EQ(AbsoluteMoves(), expected);
    EXPECT_EQ(op.readInt(PANEL_IZ), 0);
  });
  EXPECT_EQ(result, 0);
}

// The start row alone, with the pool's one thread kept busy so that the scan cannot start
// until the test lets it.
class ScanStartRowTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
    for (int axis = 0; axis < 3; axis++) {
      ASSERT_EQ(LTS_Enable(axis), 0);
      while ((LTS_GetStatus(axis) & 0x80000000u) == 0) platform_clock::sleepFor(0.05);
    }
    for (int control : {PANEL_CBX, PANEL_CBY, PANEL_CBZ}) SetCtrlVal(p1_h, control, 0);
    for (int control : {PANEL_X0, PANEL_Y0, PANEL_Z0}) SetCtrlVal(p1_h, control, 26.0);
    programPool_ = poolHandle;
    ASSERT_EQ(CmtNewThreadPool(1, &poolHandle), 0);
    release_.store(false);
    int blocker = 0;
    ASSERT_EQ(CmtScheduleThreadPoolFunctionAdv(
                  poolHandle,
                  [](void*) {
                    while (!release_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    return 0;
                  },
                  nullptr, 0, nullptr, 0, nullptr, 0, &blocker),
              0);
    motion_sim::clearCallLog();
  }
  void TearDown() override {
    poolHandle = programPool_;
    RigTest::TearDown();
  }
  // Lets the held worker run and waits for the scan's end.
  void runTheWorker() {
    release_.store(true);
    EXPECT_EQ(CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0), 0);
  }

 private:
  static inline std::atomic<bool> release_{false};
  CmtThreadPoolHandle programPool_ = 0;
};

TEST_F(ScanStartRowTest, TheScanCountsAsRunningFromTheMomentItIsScheduled) {
  ScanStartRow();
  int scanled = 0;
  GetCtrlVal(p1_h, PANEL_SCANLED, &scanled);
  EXPECT_EQ(scanled, 1);
  EXPECT_TRUE(ScanRunning()) << "the loop's gate must already drop a second start or a quit";
  EXPECT_TRUE(motion_sim::calls("ISC_MoveAbsolute").empty());  // the worker has not begun
  runTheWorker();
  GetCtrlVal(p1_h, PANEL_SCANLED, &scanled);
  EXPECT_EQ(scanled, 0);
  EXPECT_FALSE(ScanRunning());
  EXPECT_EQ(motion_sim::calls("ISC_MoveAbsolute").size(), 3u);
}

TEST_F(ScanStartRowTest, AnAbortBetweenSchedulingAndTheWorkersStartSendsNoMove) {
  ScanStartRow();
  ScanAbort();  // as Abort pressed before the worker runs
  runTheWorker();
  EXPECT_TRUE(motion_sim::calls("ISC_MoveAbsolute").empty());
  EXPECT_FALSE(ScanRunning());
}

}  // namespace
