// Aborting the completion waits: the wait under way, and every wait started while the abort
// is raised, ends at its next check without reading on and without the time-out line.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "rig.h"

namespace {

using motion_sim::kSerials;
using motion_sim::Message;

struct MoveWait {
  int axis;
  double started = 0.0;
  double ended = 0.0;
};

class WaitAbortTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
  }
  void TearDown() override {
    LTS_ClearAbort();
    RigTest::TearDown();
  }

  // Waits for a move of job.axis off the main thread; the wait must end as any wait does.
  void wait(MoveWait& job) {
    runOffMainThread(
        [](void* data) {
          auto* w = static_cast<MoveWait*>(data);
          w->started = platform_clock::now();
          LTS_waitMove(w->axis, 10000);
          w->ended = platform_clock::now();
        },
        &job);
    int armed = -1;
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
    EXPECT_EQ(armed, 0);
    EXPECT_EQ(LTSTimerOut.load(), 0);
    EXPECT_TRUE(newLines().empty()) << "no time-out line";
  }
};

TEST_F(WaitAbortTest, AnAbortEndsTheWaitUnderWayWithinOnePoll) {
  platform_clock::setSpeed(2.0);  // a 250 ms poll stays well above scheduling noise
  double abortedAt = 0.0;
  std::thread aborter([&] {
    platform_clock::sleepFor(1.0);
    abortedAt = platform_clock::now();
    LTS_AbortWait();
  });
  MoveWait job{0};
  wait(job);
  aborter.join();
  EXPECT_GE(job.ended, abortedAt);
  EXPECT_LT(job.ended - abortedAt, 0.25 + 0.75);
  EXPECT_LT(job.ended - job.started, 5.0) << "far from the watchdog's 10 s";
}

TEST_F(WaitAbortTest, WhileRaisedWaitsReadNothingAndOnceClearedTheyReadAgain) {
  motion_sim::injectMessage(kSerials[1], 2, 1, 0);  // the completion, already waiting
  LTS_AbortWait();
  motion_sim::clearCallLog();
  MoveWait aborted{1};
  wait(aborted);
  EXPECT_TRUE(motion_sim::calls("ISC_GetNextMessage").empty());
  EXPECT_EQ(motion_sim::stage(kSerials[1]).queue, (std::vector<Message>{{2, 1, 0}}));

  LTS_ClearAbort();
  MoveWait cleared{1};
  wait(cleared);
  EXPECT_EQ(motion_sim::calls("ISC_GetNextMessage").size(), 1u);
  EXPECT_TRUE(motion_sim::stage(kSerials[1]).queue.empty());
}

}  // namespace
