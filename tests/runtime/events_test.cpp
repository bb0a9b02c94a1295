// The user-event queue: order, waking, and the events that buttons and the window make.
#include <gtest/gtest.h>

#include <QSpinBox>

#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_helpers.h"
#include "gui_runtime.h"
#include "gui_thread.h"
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

// Work handed to the GUI thread while it runs earlier work must still wake it: a wake lost
// there would strand the work until some later hand-over. Each round hands over two pieces,
// the second after a varying gap, so that some land while the first is being taken; the
// window is narrow, so rounds go on for ten seconds (or 20 000 rounds). The sender gives up
// on a round after five seconds and then wakes the GUI thread once more.
TEST(runtimeEvents, WorkHandedOverWhileTheGuiThreadRunsEarlierWorkIsNeverStranded) {
  using Clock = std::chrono::steady_clock;
  constexpr int kMaxRounds = 20000;
  std::atomic<int> done{0};
  std::atomic<int> rounds{0};
  std::atomic<bool> finished{false};
  std::atomic<bool> stranded{false};
  std::thread sender([&] {
    const auto stopAt = Clock::now() + std::chrono::seconds(10);
    for (int round = 0; round < kMaxRounds && Clock::now() < stopAt; round++) {
      runtime_impl::gui_thread::post([] {
        const auto until = Clock::now() + std::chrono::microseconds(5);
        while (Clock::now() < until) {
        }
      });
      const auto handAt = Clock::now() + std::chrono::nanoseconds(round % 97 * 100);
      while (Clock::now() < handAt) {
      }
      runtime_impl::gui_thread::post([&done, round] { done.store(round + 1); });
      rounds.store(round + 1);
      const auto giveUpAt = Clock::now() + std::chrono::seconds(5);
      while (done.load() <= round && Clock::now() < giveUpAt) std::this_thread::yield();
      if (done.load() <= round) {
        stranded.store(true);
        runtime_impl::gui_thread::wake();
        break;
      }
    }
    finished.store(true);
    runtime_impl::gui_thread::wake();
  });
  controls_panel::processEventsUntil([&] { return finished.load(); }, 600.0);
  sender.join();
  EXPECT_FALSE(stranded.load()) << "work stranded in round " << rounds.load();
  EXPECT_GT(rounds.load(), 100);
}

}  // namespace
