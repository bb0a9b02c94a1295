// The completion wait's sleep between polls of an empty queue ends when the stages' message
// callback reports a message (or an abort wakes it), not only after 250 ms; the watchdog still
// bounds the wait as before.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "completion_wake.h"
#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "platform_clock.h"
#include "probe.h"
#include "rig.h"

namespace {

using motion_sim::kSerials;

constexpr int kAxis = 1;
constexpr int kOtherAxis = 2;

struct MoveWait {
  int tout;
  double ended = 0.0;
};

void runMoveWait(void* data) {
  auto* job = static_cast<MoveWait*>(data);
  LTS_waitMove(kAxis, job->tout);
  job->ended = platform_clock::now();
}

// Waits in clock time until the waiting thread has asked its queue `count` times.
void untilAsked(std::size_t count) {
  while (motion_sim::callCount("ISC_MessageQueueSize") < count) platform_clock::sleepFor(0.002);
}

class CompletionWakeTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
    for (int axis = 0; axis < 3; axis++) LTS_RegisterMessageCallback(axis, MessageCB);
    // Slower than real time: a 250 ms sleep then stands far above scheduling noise.
    platform_clock::setSpeed(0.5);
  }
  void TearDown() override {
    afterWatchdogTick = nullptr;
    RigTest::TearDown();
  }
};

enum class Wake { OwnMessage, OtherAxisMessage, Bare };

void wake(Wake how) {
  switch (how) {
    case Wake::OwnMessage: motion_sim::injectMessage(kSerials[kAxis], 2, 1, 0); break;
    case Wake::OtherAxisMessage: motion_sim::injectMessage(kSerials[kOtherAxis], 2, 1, 0); break;
    case Wake::Bare: wakeCompletionWait(); break;
  }
}

TEST_F(CompletionWakeTest, AMessageArrivingMidSleepEndsTheSleepAtOnce) {
  struct Case {
    const char* what;
    std::vector<Wake> wakes;  // each 0.1 s into a sleep; the last brings the completion
  };
  const Case cases[] = {
      {"own completion", {Wake::OwnMessage}},
      {"another axis's message first", {Wake::OtherAxisMessage, Wake::OwnMessage}},
      {"a bare wake (an abort's) first", {Wake::Bare, Wake::Bare, Wake::OwnMessage}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (int axis : {kAxis, kOtherAxis}) ISC_ClearMessageQueue(kSerials[axis]);
    motion_sim::clearCallLog();
    std::atomic<double> lastWakeAt{0.0};
    std::thread waker([&] {
      for (std::size_t i = 0; i < c.wakes.size(); i++) {
        untilAsked(i + 1);
        platform_clock::sleepFor(0.1);
        lastWakeAt = platform_clock::now();
        wake(c.wakes[i]);
      }
    });
    MoveWait job{10000};
    runOffMainThread(runMoveWait, &job);
    waker.join();

    // Asked once before sleeping and once after each wake, never after a full 250 ms sleep.
    EXPECT_EQ(motion_sim::calls("ISC_MessageQueueSize").size(), c.wakes.size() + 1);
    EXPECT_EQ(motion_sim::calls("ISC_GetNextMessage").size(), 1u);
    EXPECT_GE(job.ended, lastWakeAt.load());
    EXPECT_LT(job.ended - lastWakeAt.load(), 0.1) << "well before the 250 ms poll";
    const std::size_t otherQueued = c.wakes[0] == Wake::OtherAxisMessage ? 1 : 0;
    EXPECT_EQ(motion_sim::stage(kSerials[kOtherAxis]).queue.size(), otherQueued);
    EXPECT_TRUE(newLines().empty());
  }
}

TEST_F(CompletionWakeTest, WakesForOtherAxesLeaveTheTimeOutWithinOnePollOfTheTick) {
  static std::atomic<double> tickedAt{0.0};
  afterWatchdogTick = [] { tickedAt = platform_clock::now(); };
  std::atomic<bool> waiting{true};
  std::size_t otherMessages = 0;
  std::thread waker([&] {
    for (int i = 0; waiting; i++) {
      platform_clock::sleepFor(0.1);
      const Wake how = i % 2 == 0 ? Wake::OtherAxisMessage : Wake::Bare;
      if (how == Wake::OtherAxisMessage) ++otherMessages;
      wake(how);
    }
  });
  const double started = platform_clock::now();
  MoveWait job{1000};
  runOffMainThread(runMoveWait, &job);
  waiting = false;
  waker.join();

  EXPECT_GE(tickedAt - started, 0.99);
  EXPECT_LT(tickedAt - started, 1.5);
  EXPECT_GE(job.ended, tickedAt.load());
  EXPECT_LT(job.ended - tickedAt, 0.25 + 0.25);
  EXPECT_TRUE(motion_sim::calls("ISC_GetNextMessage").empty()) << "the wait's queue stayed empty";
  EXPECT_GT(otherMessages, 0u);
  EXPECT_EQ(motion_sim::stage(kSerials[kOtherAxis]).queue.size(), otherMessages)
      << "another axis's messages are left unread";
  const std::vector<std::string> expected = {
      "LTS timeout", "Timeout in axis [1] pos: 25.000000 messageType 0, messageId 0"};
  EXPECT_EQ(newLines(), expected);
}

}  // namespace
