// The user-event queue: order, waking, and the events that buttons and the window make.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_helpers.h"
#include "gui_runtime.h"
#include "platform_clock.h"
#include "runtime_testing.h"

namespace {

using namespace controls_panel;

// Each thread queues numbered events; all come out, each thread's in the order queued.
TEST(runtimeEvents, ComeOutInEachThreadsOrder) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t] {
      for (int i = 0; i < kPerThread; ++i) QueueUserEvent(100 + t, t, i);
    });
  }
  std::vector<int> next(kThreads, 0);
  for (int n = 0; n < kThreads * kPerThread; ++n) {
    int thread = -1;
    int sequence = -1;
    const int event = GetUserEvent(1, &thread, &sequence);
    ASSERT_EQ(event, 100 + thread);
    ASSERT_EQ(sequence, next[thread]) << "thread " << thread;
    ++next[thread];
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(runtime_testing::pendingEvents(), 0u);
  EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 0);
}

// The main thread is (most likely) already waiting when the other thread queues; either
// way GetUserEvent must return the event rather than sleep on.
TEST(runtimeEvents, QueueFromAnotherThreadWakesAWaitingGetUserEvent) {
  platform_clock::setSpeed(10.0);
  for (int round = 0; round < 5; ++round) {
    std::thread sender([round] {
      Delay(0.5);
      QueueUserEvent(7, 3, round);
    });
    int panel = 0;
    int control = -1;
    EXPECT_EQ(GetUserEvent(1, &panel, &control), 7);
    EXPECT_EQ(panel, 3);
    EXPECT_EQ(control, round);
    sender.join();
  }
}

TEST(runtimeEvents, GetUserEventWithoutWaitingTakesWhatIsQueued) {
  int panel = -1;
  int control = -1;
  EXPECT_EQ(GetUserEvent(0, &panel, &control), 0);
  EXPECT_EQ(QueueUserEvent(EVENT_COMMIT, 4, 5), 0);
  EXPECT_EQ(runtime_testing::pendingEvents(), 1u);
  EXPECT_EQ(GetUserEvent(0, &panel, &control), EVENT_COMMIT);
  EXPECT_EQ(panel, 4);
  EXPECT_EQ(control, 5);
  QueueUserEvent(EVENT_COMMIT, 4, 6);
  runtime_testing::clearEvents();
  EXPECT_EQ(GetUserEvent(0, &panel, &control), 0);
}

TEST(runtimeEvents, ButtonClickQueuesItsCommit) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(DisplayPanel(panel), 0);
  test_support::clickControl(panel, kStart);
  int from = 0;
  int control = 0;
  EXPECT_EQ(GetUserEvent(0, &from, &control), EVENT_COMMIT);
  EXPECT_EQ(from, panel);
  EXPECT_EQ(control, kStart);
  EXPECT_EQ(runtime_testing::pendingEvents(), 0u);
}

TEST(runtimeEvents, WindowCloseQueuesTheCloseControlsCommitAndKeepsTheWindow) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(DisplayPanel(panel), 0);
  EXPECT_FALSE(test_support::requestPanelClose(panel));
  EXPECT_TRUE(runtime_testing::panelWidget(panel)->isVisible());
  int from = 0;
  int control = 0;
  EXPECT_EQ(GetUserEvent(0, &from, &control), EVENT_COMMIT);
  EXPECT_EQ(from, panel);
  EXPECT_EQ(control, kQuit);
}

// The program's own events are all kept, whatever the operator's bound; the operator's past
// the bound are dropped, each with one line, and every one queued before is still delivered.
TEST(runtimeEvents, OperatorEventsPastTheBoundAreDroppedWithOneLineEach) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(DisplayPanel(panel), 0);
  for (int i = 0; i < 2 * kMaxOperatorEvents; ++i) QueueUserEvent(9, panel, 0);
  for (int i = 0; i < kMaxOperatorEvents; ++i) test_support::clickControl(panel, kStart);
  testing::internal::CaptureStderr();
  test_support::clickControl(panel, kStart);
  EXPECT_FALSE(test_support::requestPanelClose(panel));
  const std::string message = testing::internal::GetCapturedStderr();
  const std::string dropped = "operator events are waiting to be handled; the press of control ";
  EXPECT_EQ(message, "Quarlex: 256 " + dropped + "3 is dropped\nQuarlex: 256 " + dropped + "2 is dropped\n");
  EXPECT_EQ(runtime_testing::pendingEvents(), std::size_t(3 * kMaxOperatorEvents));

  // Taking one makes room for one more.
  for (int i = 0; i < 2 * kMaxOperatorEvents + 1; ++i) ASSERT_NE(GetUserEvent(0, nullptr, nullptr), 0);
  EXPECT_FALSE(test_support::requestPanelClose(panel));
  int control = 0;
  for (int i = 0; i < kMaxOperatorEvents; ++i) {
    ASSERT_EQ(GetUserEvent(0, nullptr, &control), EVENT_COMMIT);
    ASSERT_EQ(control, i < kMaxOperatorEvents - 1 ? kStart : kQuit);
  }
  EXPECT_EQ(runtime_testing::pendingEvents(), 0u);
}

TEST(runtimeEvents, UserEventPendingSeesOnlyEventsNotYetTaken) {
  runtime_testing::clearEvents();
  EXPECT_EQ(UserEventPending(1, 4, 88), 0);
  QueueUserEvent(1, 4, 88);
  EXPECT_EQ(UserEventPending(1, 4, 88), 1);
  for (auto [number, panel, control] : {std::array{2, 4, 88}, std::array{1, 5, 88}, std::array{1, 4, 87}}) {
    EXPECT_EQ(UserEventPending(number, panel, control), 0) << number << " " << panel << " " << control;
  }
  EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 1);
  EXPECT_EQ(UserEventPending(1, 4, 88), 0);
}

}  // namespace
