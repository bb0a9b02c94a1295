// The user-event queue: order, waking, and the events that buttons and the window make.
#include <gtest/gtest.h>

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

}  // namespace
