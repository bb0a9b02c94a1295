// The completion waits on a pool thread while the main thread processes events, as during
// a scan; and the watchdog that bounds them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "probe.h"
#include "rig.h"

namespace {

using motion_sim::kSerials;
using motion_sim::Message;

struct WaitJob {
  bool home;
  int axis;
  int tout;
  double started = 0.0;
  double ended = 0.0;
};

void runWait(void* data) {
  auto* job = static_cast<WaitJob*>(data);
  job->started = platform_clock::now();
  if (job->home) {
    LTS_waitHome(job->axis, job->tout);
  } else {
    LTS_waitMove(job->axis, job->tout);
  }
  job->ended = platform_clock::now();
}

class WaitTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
  }
  void TearDown() override {
    afterWatchdogTick = nullptr;
    RigTest::TearDown();
  }

  void wait(WaitJob& job) {
    runOffMainThread(runWait, &job);
    // Every wait leaves the watchdog disarmed and its flag clear.
    int armed = -1;
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
    EXPECT_EQ(armed, 0);
    EXPECT_EQ(LTSTimerOut.load(), 0);
  }
};

TEST_F(WaitTest, MessagesAreReadUntilTheCompletionMessage) {
  struct Case {
    const char* what;
    bool home;
    std::vector<Message> queued;
    std::size_t reads;
  };
  const Case cases[] = {
      {"moved already waiting", false, {{2, 1, 0}}, 1},
      {"homed already waiting", true, {{2, 0, 0}}, 1},
      {"move wait drops homed, other types and ids", false,
       {{2, 0, 0}, {1, 1, 0}, {2, 7, 0}, {2, 1, 0}, {2, 1, 0}}, 4},
      {"homing wait drops moved and stopped", true, {{2, 1, 0}, {2, 2, 0}, {3, 0, 0}, {2, 0, 0}}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ISC_ClearMessageQueue(kSerials[1]);
    for (const Message& m : c.queued) motion_sim::injectMessage(kSerials[1], m.type, m.id, m.data);
    motion_sim::clearCallLog();
    WaitJob job{c.home, 1, 10000};
    wait(job);
    EXPECT_EQ(motion_sim::calls("ISC_GetNextMessage").size(), c.reads);
    // Messages were waiting, so the queue was asked once per read and never slept on.
    EXPECT_EQ(motion_sim::calls("ISC_MessageQueueSize").size(), c.reads);
    EXPECT_EQ(motion_sim::stage(kSerials[1]).queue.size(), c.queued.size() - c.reads);
    EXPECT_TRUE(newLines().empty());
  }
}

TEST_F(WaitTest, WithoutCompletionTheWaitEndsWithinOnePollOfTheTick) {
  platform_clock::setSpeed(2.0);  // slow enough that a 250 ms poll is well above scheduling noise
  static double tickedAt = 0.0;
  afterWatchdogTick = [] { tickedAt = platform_clock::now(); };
  WaitJob job{false, 0, 10000};
  wait(job);
  EXPECT_GE(tickedAt - job.started, 9.9);
  EXPECT_LT(tickedAt - job.started, 15.0);
  EXPECT_GE(job.ended, tickedAt);
  EXPECT_LT(job.ended - tickedAt, 0.25 + 0.75);
  const std::vector<std::string> expected = {
      "LTS timeout", "Timeout in axis [0] pos: 25.000000 messageType 0, messageId 0"};
  EXPECT_EQ(newLines(), expected);
}

TEST_F(WaitTest, MessagesWaitingAtTheTickStayUnread) {
  motion_sim::injectMessage(kSerials[0], 1, 7, 0);  // read and dropped before the tick
  afterWatchdogTick = [] { motion_sim::injectMessage(kSerials[0], 2, 1, 0); };
  WaitJob job{false, 0, 2000};
  wait(job);
  EXPECT_EQ(motion_sim::stage(kSerials[0]).queue, (std::vector<Message>{{2, 1, 0}}));
  const std::vector<std::string> expected = {
      "LTS timeout", "Timeout in axis [0] pos: 25.000000 messageType 1, messageId 7"};
  EXPECT_EQ(newLines(), expected);
}

TEST_F(WaitTest, AMoveThatCompletesEndsItsWait) {
  ASSERT_EQ(LTS_Enable(2), 0);
  runOffMainThread([](void*) { LTS_MoveAbsolute(2, 26.0, 10000); }, nullptr);
  EXPECT_TRUE(newLines().empty());
  EXPECT_NEAR(motion_sim::stage(kSerials[2]).positionMm, 26.0, 1e-6);
  EXPECT_TRUE(motion_sim::stage(kSerials[2]).queue.empty());
}

TEST_F(WaitTest, TheWatchdogTicksOnlyOnTimerEvents) {
  for (int event : {0, 1, 14, 16, 1000}) {
    EXPECT_EQ(LTS_Timeout(p1_h, PANEL_LTSTIMER, event, nullptr, 0, 0), 0);
    EXPECT_EQ(LTSTimerOut.load(), 0) << event;
  }
  EXPECT_TRUE(newLines().empty());
  EXPECT_EQ(LTS_Timeout(p1_h, PANEL_LTSTIMER, EVENT_TIMER_TICK, nullptr, 0, 0), 0);
  EXPECT_EQ(LTSTimerOut.load(), 1);
  EXPECT_EQ(newLines(), std::vector<std::string>{"LTS timeout"});
}

TEST_F(WaitTest, ArmingSetsTheIntervalInSecondsAndClearsTheFlag) {
  for (const auto& [tout, seconds] : {std::pair{10000, 10.0}, std::pair{1, 0.001}, std::pair{250, 0.25}}) {
    LTSTimerOut.store(1);
    LTS_Tmlnk(tout);
    double interval = 0.0;
    int armed = 0;
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_INTERVAL, &interval);
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
    EXPECT_DOUBLE_EQ(interval, seconds);
    EXPECT_EQ(armed, 1);
    EXPECT_EQ(LTSTimerOut.load(), 0);
    LTSTimerOut.store(1);
    LTS_Tmulk();
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
    EXPECT_EQ(armed, 0);
    EXPECT_EQ(LTSTimerOut.load(), 0);
  }
}

TEST_F(WaitTest, AnEmptyQueueIsPolledEveryQuarterSecond) {
  // A move that never completes: no message arrives, so only the poll interval paces the wait.
  platform_clock::setSpeed(2.0);  // slow enough that a 250 ms poll is well above scheduling noise
  ASSERT_EQ(LTS_Enable(0), 0);
  motion_sim::neverComplete(kSerials[0], true);
  LTS_MoveAbsolute(0, 26.0, 0);
  motion_sim::clearCallLog();
  WaitJob job{false, 0, 2000};
  wait(job);
  const std::vector<double> polls = motion_sim::callTimes("ISC_MessageQueueSize");
  ASSERT_GE(polls.size(), 3u);
  // Scheduling delays only lengthen an interval: every one is at least the pause, and the
  // shortest of them shows the pause itself.
  double shortest = polls[1] - polls[0];
  for (std::size_t i = 1; i < polls.size(); i++) {
    EXPECT_GE(polls[i] - polls[i - 1], 0.249) << "poll " << i;
    shortest = std::min(shortest, polls[i] - polls[i - 1]);
  }
  EXPECT_LT(shortest, 0.4);
  EXPECT_TRUE(motion_sim::calls("ISC_GetNextMessage").empty());
}

}  // namespace
