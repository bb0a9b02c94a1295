#include "rig.h"

#include <atomic>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"

namespace {

// Control id no panel uses: the worker's "done" event.
constexpr int kWorkDone = 9999;

struct OffMainWork {
  void (*work)(void*);
  void* data;
};

int runWork(void* functionData) {
  auto* job = static_cast<OffMainWork*>(functionData);
  job->work(job->data);
  QueueUserEvent(1000, p1_h, kWorkDone);
  return 0;
}

}  // namespace

void SimulatedRigTest::SetUp() {
  motion_sim::reset();
  platform_clock::setSpeed(speed_);
}

void SimulatedRigTest::TearDown() { platform_clock::setSpeed(1.0); }

void RigTest::SetUp() {
  SimulatedRigTest::SetUp();
  runtime_testing::clearEvents();
  p1_h = LoadPanel(0, "Quarlex_ui.uir", PANEL);
  ASSERT_GT(p1_h, 0);
  newLines();
}

void RigTest::TearDown() {
  DiscardPanel(p1_h);
  p1_h = 0;
  SimulatedRigTest::TearDown();
}

void RigTest::connectStages() {
  ASSERT_EQ(LTS_Open(), 0);
  motion_sim::clearCallLog();
  newLines();
}

std::vector<std::string> RigTest::newLines() {
  runtime_testing::stdioSync();
  std::vector<std::string> lines = runtime_testing::stdioLines();
  runtime_testing::stdioClear();
  return lines;
}

void RigTest::runOffMainThread(void (*work)(void*), void* data) {
  static CmtThreadPoolHandle pool = 0;
  if (pool == 0) CmtNewThreadPool(1, &pool);
  OffMainWork job{work, data};
  int id = 0;
  ASSERT_GT(CmtScheduleThreadPoolFunctionAdv(pool, runWork, &job, 0, nullptr, 0, nullptr, 0, &id), -1);
  // The main thread keeps processing events (and so timer ticks) until the work is done;
  // other user events are dropped, as the program's loop would while a scan runs.
  int panel = 0;
  int control = 0;
  do {
    GetUserEvent(1, &panel, &control);
  } while (control != kWorkDone);
  CmtWaitForThreadPoolFunctionCompletion(pool, id, 0);
}
