// Hand-over of work to the GUI thread: every task posted from any thread runs there, once,
// in its poster's order, however the posts and bare wakes interleave.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <thread>
#include <vector>

#include "gui_thread.h"
#include "runtime_testing.h"

namespace {

namespace gui_thread = runtime_impl::gui_thread;

// Waits in the GUI thread's event processing until `done` holds; gives up after 30 s of real
// time, so that a lost wake fails the test instead of hanging it.
template <class Done>
bool processUntil(Done done) {
  bool gaveUp = false;
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [&] { gaveUp = true; });
  guard.start(30000);
  while (!done() && !gaveUp) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done();
}

TEST(runtimeGuiThread, PostedTasksRunOnceEachOnTheGuiThreadInEachPostersOrder) {
  ASSERT_TRUE(gui_thread::isCurrent());
  constexpr int kThreads = 4;
  constexpr int kPerThread = 2000;
  // Touched only by the tasks, so only on the GUI thread.
  std::vector<int> next(kThreads, 0);
  int ran = 0;
  int offThread = 0;
  int outOfOrder = 0;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        gui_thread::post([&, t, i] {
          if (!gui_thread::isCurrent()) ++offThread;
          if (next[t] != i) ++outOfOrder;
          next[t] = i + 1;
          ++ran;
        });
        if (i % 3 == 0) gui_thread::wake();  // bare wakes between the posts
      }
    });
  }
  EXPECT_TRUE(processUntil([&] { return ran >= kThreads * kPerThread; })) << ran << " tasks ran";
  for (std::thread& p : posters) p.join();
  // Nothing runs twice: a last round of processing finds no task left over.
  QCoreApplication::processEvents();
  EXPECT_EQ(ran, kThreads * kPerThread);
  EXPECT_EQ(offThread, 0);
  EXPECT_EQ(outOfOrder, 0);
}

// A post that lands after the runner has taken the queued tasks, and before it runs them,
// must wake the GUI thread again: the runner has to allow the next wake before it takes.
TEST(runtimeGuiThread, ATaskPostedJustAfterTheRunnerTookTheQueueStillRuns) {
  ASSERT_TRUE(gui_thread::isCurrent());
  int hooks = 0;
  int late = 0;
  struct ClearHook {
    ~ClearHook() { runtime_testing::setTasksTakenHook({}); }
  } clearHook;
  runtime_testing::setTasksTakenHook([&] {
    if (hooks++ == 0) std::thread([&] { gui_thread::post([&] { ++late; }); }).join();
  });
  gui_thread::post([] {});
  EXPECT_TRUE(processUntil([&] { return late == 1; })) << hooks << " takes";
  QCoreApplication::processEvents();
  EXPECT_EQ(late, 1);
}

TEST(runtimeGuiThread, IsCurrentOnlyOnTheGuiThread) {
  EXPECT_TRUE(gui_thread::isCurrent());
  bool elsewhere = true;
  std::thread([&] { elsewhere = gui_thread::isCurrent(); }).join();
  EXPECT_FALSE(elsewhere);
}

}  // namespace
