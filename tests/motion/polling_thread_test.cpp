// The library's polling thread: it sees a motion end at its polling interval and delivers
// the message and its callback while no call enters the library; it ends with polling.
#include <atomic>
#include <cmath>
#include <string>

#include "motion_test_support.h"
#include "platform_clock.h"

namespace {

using namespace motion_test;

constexpr int kPollMs = 50;

class motionPolling : public SimulatorTest {
 protected:
  // X opened, enabled and polling, with `callback` registered; then a 1 mm move (a triangle
  // of 0.283 s) whose completion the polling thread must deliver.
  void pollAndMoveOneMillimetre(void (*callback)()) {
    openEnabled(kX);
    ASSERT_TRUE(ISC_StartPolling(kX, kPollMs));
    ISC_RegisterMessageCallback(kX, callback);
    moveTo(kX, 26);
  }
};
std::atomic<double> calledAt{0.0};
std::atomic<int> queueSeenByCallback{-1};

void noteTime() {
  calledAt = platform_clock::now();
  ++callbackCount;
}

// Calls back into the library, as a program's callback may: deadlocks if called under the
// simulator's lock.
void readQueueSize() {
  queueSeenByCallback = ISC_MessageQueueSize(kX);
  ++callbackCount;
}

void closeOwnStage() {
  ISC_Close(kX);
  ++callbackCount;
}

// Sleeps on the clock (entering the library not once) until `count` callbacks have run.
bool sleepUntilCallbacks(int count, double timeout = 120.0) {
  const double until = platform_clock::now() + timeout;
  while (callbackCount < count) {
    if (platform_clock::now() > until) return false;
    platform_clock::sleepFor(0.01);
  }
  return true;
}

TEST_F(motionPolling, TheCompletionIsDeliveredAtTheFirstPollAfterTheEndWithoutAnyCall) {
  platform_clock::setSpeed(2.0);  // slow enough that the bound below is far above scheduling noise
  ASSERT_NO_FATAL_FAILURE(pollAndMoveOneMillimetre(noteTime));
  const std::size_t callsBefore = motion_sim::callLog().size();
  ASSERT_TRUE(sleepUntilCallbacks(1));
  EXPECT_EQ(motion_sim::callLog().size(), callsBefore) << "no call entered the library";

  const double polled = motion_sim::callTimes("ISC_StartPolling").at(0);
  const double end = motion_sim::callTimes("ISC_MoveAbsolute").at(0) + 2 * std::sqrt(1.0 / 50.0);
  const double seen = polled + std::ceil((end - polled) / (kPollMs / 1000.0)) * (kPollMs / 1000.0);
  EXPECT_GE(calledAt.load(), seen - 1e-9);
  EXPECT_LT(calledAt.load(), seen + 1.0) << "generous: the machine may be busy";
  EXPECT_EQ(callbackCount, 1);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 1);
}

TEST_F(motionPolling, CallbacksRunOutsideTheLibrarysLockOnThePollingThread) {
  ASSERT_NO_FATAL_FAILURE(pollAndMoveOneMillimetre(readQueueSize));
  ASSERT_TRUE(sleepUntilCallbacks(1));
  EXPECT_EQ(queueSeenByCallback.load(), 1);
}

TEST_F(motionPolling, WithoutPollingACompletionWaitsForTheNextCall) {
  openEnabled(kX);
  ASSERT_TRUE(ISC_StartPolling(kX, kPollMs));
  ISC_StopPolling(kX);
  ISC_RegisterMessageCallback(kX, noteTime);
  moveTo(kX, 26);
  platform_clock::sleepFor(1.0);
  EXPECT_EQ(callbackCount, 0);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 1);
  EXPECT_EQ(callbackCount, 1);
}

TEST_F(motionPolling, EachPollingStageHasOneThreadUntilItStopsPolling) {
  const char* const kZ = motion_sim::kSerials[2];
  for (const char* serial : {kX, kY, kZ}) {
    ASSERT_EQ(ISC_Open(serial), 0);
    ASSERT_TRUE(ISC_StartPolling(serial, kPollMs));
  }
  ASSERT_TRUE(ISC_StartPolling(kX, kPollMs)) << "a second start keeps the one thread";
  EXPECT_EQ(motion_sim::pollingThreads(), 3u);
  ISC_StopPolling(kY);
  EXPECT_EQ(motion_sim::pollingThreads(), 2u);
  ISC_Close(kZ);
  EXPECT_EQ(motion_sim::pollingThreads(), 1u);
  ASSERT_TRUE(ISC_StartPolling(kY, kPollMs));
  EXPECT_EQ(motion_sim::pollingThreads(), 2u);
  motion_sim::reset();
  EXPECT_EQ(motion_sim::pollingThreads(), 0u);
}

TEST_F(motionPolling, ACallbackMayCloseItsOwnStage) {
  ASSERT_NO_FATAL_FAILURE(pollAndMoveOneMillimetre(closeOwnStage));
  ASSERT_TRUE(sleepUntilCallbacks(1));
  EXPECT_FALSE(motion_sim::stage(kX).open);
  EXPECT_EQ(motion_sim::pollingThreads(), 0u);
}

TEST_F(motionPolling, EveryMotionOfAPollingStageIsDeliveredOnce) {
  openEnabled(kX);
  ASSERT_TRUE(ISC_StartPolling(kX, kPollMs));
  ISC_RegisterMessageCallback(kX, noteTime);
  for (int i = 1; i <= 3; i++) {
    moveTo(kX, 25 + i);
    ASSERT_TRUE(sleepUntilCallbacks(i));
  }
  moveTo(kX, 40);
  moveTo(kX, 30);  // supersedes the move to 40, which queues nothing
  ASSERT_TRUE(sleepUntilCallbacks(4));
  platform_clock::sleepFor(1.0);
  EXPECT_EQ(callbackCount, 4);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 4);
}

}  // namespace
