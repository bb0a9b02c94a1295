// A watchdog tick belongs to the arming it was started for. A tick that is under way when
// its wait disarms the watchdog, and the next wait arms it again, must not raise the flag of
// that next arming: the next move would time out at once while its stage still travels.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

using WatchdogArmingTest = RigTest;

TEST_F(WatchdogArmingTest, ATickUnderWayAtADisarmDoesNotRaiseTheNextArmingsFlag) {
  std::atomic<bool> rearmed{false};
  std::thread nextWait;
  int ticks = 0;
  // Forced interleaving: the first tick has passed its check; before its callback runs, a
  // wait on another thread disarms and the next wait arms (for far longer than this test).
  runtime_testing::setTickHook([&](int, int control) {
    if (control != PANEL_LTSTIMER || ticks++ > 0) return;
    nextWait = std::thread([&] {
      LTS_Tmulk();
      LTS_Tmlnk(1000000);
      rearmed.store(true);
    });
    // The disarm waits for this tick to end; without that it would be done well within this.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (!rearmed.load() && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  LTS_Tmlnk(1000);  // 1 s of clock time: a few real milliseconds
  while (ticks == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  nextWait.join();
  runtime_testing::setTickHook({});
  EXPECT_EQ(LTSTimerOut.load(), 0) << "the earlier arming's tick raised the next arming's flag";
  int armed = 0;
  GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
  EXPECT_EQ(armed, 1);
  LTS_Tmulk();
}

}  // namespace
