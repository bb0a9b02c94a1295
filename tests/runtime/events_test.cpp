// The user-event queue: order, waking, and the events that buttons and the window make.
#include <gtest/gtest.h>

#include <QSpinBox>

#include <atomic>
#include <chrono>
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

// Work already waiting for the GUI thread (here a value written from another thread, on its
// way to the widget) runs before an event that is already queued is returned, so a busy
// queue cannot starve the panel's updates and timers.
TEST(runtimeEvents, PendingGuiWorkRunsBeforeAQueuedEventIsReturned) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  std::thread([panel] {
    SetCtrlVal(panel, kSteps, 345);
    QueueUserEvent(EVENT_COMMIT, panel, kStart);
  }).join();
  EXPECT_EQ(GetUserEvent(1, nullptr, nullptr), EVENT_COMMIT);
  EXPECT_EQ(widget<QSpinBox>(panel, kSteps)->value(), 345);
}

// An event queued while the GUI thread is taking earlier work from another thread (here a
// value update) must wake the waiting GetUserEvent all the same. Rounds vary the gap between
// the two so that some land while that work is being taken; a wake lost there would leave
// the event unseen until the next one, which a rescue event sends after five seconds.
TEST(runtimeEvents, AnEventQueuedWhileTheGuiThreadTakesWorkIsNeverMissed) {
  const int panel = load();
  ASSERT_GT(panel, 0);
  constexpr int kRounds = 20000;
  std::atomic<int> taken{0};
  std::atomic<bool> missed{false};
  std::thread sender([&] {
    for (int round = 0; round < kRounds && !missed.load(); round++) {
      SetCtrlVal(panel, kSteps, round);
      const auto queueAt = std::chrono::steady_clock::now() + std::chrono::nanoseconds(round % 97 * 250);
      while (std::chrono::steady_clock::now() < queueAt) {
      }
      QueueUserEvent(EVENT_COMMIT, panel, round);
      const auto rescueAt = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (taken.load() <= round) {
        if (std::chrono::steady_clock::now() > rescueAt) {
          missed.store(true);
          QueueUserEvent(EVENT_COMMIT, panel, -1);
          break;
        }
        std::this_thread::yield();
      }
    }
  });
  for (int round = 0; round < kRounds && !missed.load(); round++) {
    int control = -2;
    ASSERT_EQ(GetUserEvent(1, nullptr, &control), EVENT_COMMIT);
    taken.store(control + 1);
  }
  sender.join();
  runtime_testing::clearEvents();
  EXPECT_FALSE(missed.load()) << "an event stayed unseen until the next wake, " << taken.load() << " rounds in";
}

}  // namespace
