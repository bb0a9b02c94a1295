// Thread pools: where and in which order functions and their callbacks run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "gui_runtime.h"

namespace {

struct Step {
  std::string what;
  std::thread::id thread;
  int value;
};

struct Log {
  std::mutex mutex;
  std::vector<Step> steps;
  void add(std::string what, int value) {
    std::lock_guard lock(mutex);
    steps.push_back({std::move(what), std::this_thread::get_id(), value});
  }
};

int logFunction(void* data) {
  static_cast<Log*>(data)->add("function", 0);
  return 42;
}

void logCallback(CmtThreadPoolHandle, int, unsigned int event, int value, void* data) {
  static_cast<Log*>(data)->add(event == EVENT_TP_THREAD_FUNCTION_BEGIN ? "begin" : "end", value);
}

TEST(runtimePool, CallbacksSurroundTheFunctionOnItsThread) {
  const struct {
    unsigned int mask;
    std::vector<std::string> steps;
  } cases[] = {
      {EVENT_TP_THREAD_FUNCTION_BEGIN | EVENT_TP_THREAD_FUNCTION_END, {"begin", "function", "end"}},
      {EVENT_TP_THREAD_FUNCTION_END, {"function", "end"}},
      {0, {"function"}},
  };
  CmtThreadPoolHandle pool = 0;
  ASSERT_EQ(CmtNewThreadPool(2, &pool), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    Log log;
    int id = 0;
    ASSERT_EQ(CmtScheduleThreadPoolFunctionAdv(pool, logFunction, &log, 0, logCallback, c.mask, &log, 0, &id), 0);
    EXPECT_GT(id, 0);
    ASSERT_EQ(CmtWaitForThreadPoolFunctionCompletion(pool, id, 0), 0);
    std::vector<std::string> steps;
    for (const Step& step : log.steps) {
      steps.push_back(step.what);
      EXPECT_EQ(step.thread, log.steps.front().thread) << step.what;
    }
    EXPECT_EQ(steps, c.steps);
    EXPECT_NE(log.steps.front().thread, std::this_thread::get_id());
    if (steps.back() == "end") {
      EXPECT_EQ(log.steps.back().value, 42) << "the end event carries the result";
    }
  }
}

struct Load {
  std::atomic<int> running{0};
  std::atomic<int> peak{0};
  std::mutex mutex;
  std::set<std::thread::id> threads;
};

int busyFunction(void* data) {
  auto* load = static_cast<Load*>(data);
  const int now = ++load->running;
  int peak = load->peak.load();
  while (now > peak && !load->peak.compare_exchange_weak(peak, now)) {
  }
  {
    std::lock_guard lock(load->mutex);
    load->threads.insert(std::this_thread::get_id());
  }
  Delay(0.01);
  --load->running;
  return 0;
}

TEST(runtimePool, RunsEveryFunctionOnAtMostItsMaximumOfThreads) {
  CmtThreadPoolHandle pool = 0;
  ASSERT_EQ(CmtNewThreadPool(2, &pool), 0);
  Load load;
  std::vector<int> ids(8);
  for (int& id : ids) {
    ASSERT_EQ(CmtScheduleThreadPoolFunctionAdv(pool, busyFunction, &load, 0, nullptr, 0, nullptr, 0, &id), 0);
  }
  for (const int id : ids) EXPECT_EQ(CmtWaitForThreadPoolFunctionCompletion(pool, id, 0), 0);
  EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size()) << "ids are unique";
  EXPECT_EQ(load.running, 0);
  EXPECT_LE(load.peak, 2);
  EXPECT_LE(load.threads.size(), 2u);
}

TEST(runtimePool, RefusesWhatItCannotDo) {
  CmtThreadPoolHandle pool = 0;
  EXPECT_LT(CmtNewThreadPool(0, &pool), 0);
  ASSERT_EQ(CmtNewThreadPool(1, &pool), 0);
  Log log;
  int id = 0;
  EXPECT_LT(CmtScheduleThreadPoolFunctionAdv(pool + 1, logFunction, &log, 0, nullptr, 0, nullptr, 0, &id), 0);
  EXPECT_LT(CmtScheduleThreadPoolFunctionAdv(pool, logFunction, &log, 0, logCallback, 3, &log, 1, &id), 0)
      << "callbacks on another thread";
  EXPECT_LT(CmtWaitForThreadPoolFunctionCompletion(pool, 12345, 0), 0);
  ASSERT_EQ(CmtScheduleThreadPoolFunctionAdv(pool, logFunction, &log, 0, nullptr, 0, nullptr, 0, &id), 0);
  EXPECT_EQ(CmtWaitForThreadPoolFunctionCompletion(pool, id, 0), 0);
  EXPECT_LT(CmtWaitForThreadPoolFunctionCompletion(pool, id, 0), 0) << "already waited for";
  EXPECT_EQ(log.steps.size(), 1u) << "only the accepted function ran";
}

}  // namespace
