// Timer controls: their callbacks run on the main thread while it processes GUI events,
// and follow the enabled and interval attributes. The clock runs fast, so that timer
// intervals of clock seconds take milliseconds.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_helpers.h"
#include "gui_runtime.h"
#include "gui_thread.h"
#include "platform_clock.h"

namespace {

using namespace controls_panel;

constexpr int kStop = 1000;  // user event ending a test's wait

TEST(runtimeTimers, TicksRunOnTheMainThreadOnlyWhileItProcessesEvents) {
  platform_clock::setSpeed(50.0);
  const int panel = load();
  ASSERT_GT(panel, 0);
  const std::thread::id mainThread = std::this_thread::get_id();
  bool waiting = false;  // inside GetUserEvent
  int ticks = 0;
  int misplaced = 0;
  onTick = [&](int from, int control) {
    if (std::this_thread::get_id() != mainThread || !waiting || from != panel || control != kPollTimer) {
      ++misplaced;
    }
    if (++ticks == 3) QueueUserEvent(kStop, panel, 0);
  };
  ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 1), 0);
  Delay(5.0);  // five intervals with no event processing
  EXPECT_EQ(ticks, 0);
  waiting = true;
  EXPECT_EQ(GetUserEvent(1, nullptr, nullptr), kStop);
  waiting = false;
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(misplaced, 0);
}

// Enabling starts the timer one interval after the call, from the main thread or another;
// a new interval applies at once to a running timer; disabling stops the ticks.
TEST(runtimeTimers, FollowTheEnabledAndIntervalAttributes) {
  platform_clock::setSpeed(20.0);
  const int panel = load();
  ASSERT_GT(panel, 0);
  for (const bool fromWorker : {false, true}) {
    SCOPED_TRACE(fromWorker ? "enabled from a worker thread" : "enabled from the main thread");
    ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_INTERVAL, 1.0), 0);
    std::vector<double> ticks;
    onTick = [&](int, int) {
      ticks.push_back(platform_clock::now());
      if (ticks.size() == 1) SetCtrlAttribute(panel, kPollTimer, ATTR_INTERVAL, 2.0);
      if (ticks.size() == 2) {
        SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 0);
        // Ten more intervals of event processing in which no tick may come.
        std::thread([panel] {
          Delay(20.0);
          QueueUserEvent(kStop, panel, 0);
        }).detach();
      }
    };
    const double enabledAt = platform_clock::now();
    if (fromWorker) {
      std::thread([panel] { SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 1); }).join();
    } else {
      ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 1), 0);
    }
    ASSERT_EQ(GetUserEvent(1, nullptr, nullptr), kStop);
    ASSERT_EQ(ticks.size(), 2u);
    // Bounds allow a millisecond of rounding early and much scheduling delay late.
    EXPECT_GE(ticks[0] - enabledAt, 0.95);
    EXPECT_LT(ticks[0] - enabledAt, 40.0);
    EXPECT_GE(ticks[1] - ticks[0], 1.9);
    int enabled = -1;
    EXPECT_EQ(GetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, &enabled), 0);
    EXPECT_EQ(enabled, 0);
  }
}

TEST(runtimeTimers, KeepTickingWhileAMessagePopupShows) {
  platform_clock::setSpeed(50.0);
  const int panel = load();
  ASSERT_GT(panel, 0);
  std::atomic<int> ticks{0};
  onTick = [&](int, int) { ++ticks; };
  ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 1), 0);
  QString shown;
  test_support::dismissPopupWhen([&] { return ticks >= 3; }, &shown);
  EXPECT_EQ(MessagePopup("Quarlex", "Motion stopped: limit switch"), 0);
  EXPECT_GE(ticks, 3);
  EXPECT_EQ(shown, "Motion stopped: limit switch");
}

// A tick that falls due after another thread has disabled the timer, but before the GUI
// thread has stopped it, never reaches the callback: a disarmed watchdog must not fire.
TEST(runtimeTimers, ATickDueAfterADisableFromAnotherThreadIsDropped) {
  platform_clock::setSpeed(10.0);  // a 100 ms interval: the hand-over below takes far less
  const int panel = load();
  ASSERT_GT(panel, 0);
  for (const bool disable : {false, true}) {
    SCOPED_TRACE(disable ? "disabled from a worker thread" : "left enabled");
    int ticks = 0;
    onTick = [&](int, int) { ++ticks; };
    ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 1), 0);  // due in 1 s
    bool processed = false;
    std::thread([&] {
      // This work holds the GUI thread until the tick is overdue, then processes events
      // there before the timer's own update, queued behind it, has stopped the timer. Both are
      // display work, which runs in its order ahead of other tasks.
      runtime_impl::gui_thread::postDisplay([&] {
        platform_clock::sleepFor(2.0);
        QCoreApplication::processEvents();
        processed = true;
      });
      if (disable) SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 0);
    }).join();
    ASSERT_TRUE(processEventsUntil([&] { return processed; }));
    // Left enabled, the overdue tick comes at the latest inside that work.
    if (disable) {
      EXPECT_EQ(ticks, 0);
    } else {
      EXPECT_GE(ticks, 1);
    }
    ASSERT_EQ(SetCtrlAttribute(panel, kPollTimer, ATTR_ENABLED, 0), 0);
  }
}

}  // namespace
