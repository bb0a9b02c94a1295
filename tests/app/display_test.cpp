// The status display: which LED shows which status bit, and when refreshes are asked for.
#include <gtest/gtest.h>

#include <set>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "rig.h"
#include "run_state.h"
#include "runtime_testing.h"
#include "status_display.h"

namespace {

using motion_sim::kSerials;

class DisplayTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
  }
};

TEST_F(DisplayTest, EachDisplayedBitLightsItsOwnLed) {
  struct Case {
    int axis;
    unsigned int word;
    int shown;               // the status indicator's int
    std::set<int> lit;       // LEDs of that axis that are on
  };
  const Case cases[] = {
      {1, 1u << 5, 32, {PANEL_LED_Y_5}},
      {1, 1u << 31, -2147483647 - 1, {PANEL_LED_Y_13}},
      {0, 1u << 31, -2147483647 - 1, {PANEL_LED_X_13}},
      {1, 1u << 12, 4096, {}},
      // Bits 12 to 28 and 30 have no LED.
      {2, 0x5FFFF000u, 0x5FFFF000, {}},
      {2, 0x20000FFFu, 0x20000FFF,
       {34, 33, 32, 31, 30, 29, 28, 27, 26, 25, 24, 23, PANEL_LED_Z_12}},
      {0, 0xFFFFFFFFu, -1, {62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49}},
      {0, (1u << 0) | (1u << 11) | (1u << 29), 0x20000801, {PANEL_LED_X_0, PANEL_LED_X_11, PANEL_LED_X_12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "axis " << c.axis << " word 0x" << std::hex << c.word);
    motion_sim::overrideStatus(kSerials[c.axis], c.word);
    Sleep(200);  // a few polls of the stage
    // Start from the opposite of what is expected, so that every LED must be written.
    for (int j = 0; j < 14; j++) SetCtrlVal(p1_h, lid[c.axis][j], c.lit.count(lid[c.axis][j]) ? 0 : 1);
    LTS_SetStatus(c.axis);
    int shown = 0;
    GetCtrlVal(p1_h, dstat[c.axis], &shown);
    EXPECT_EQ(shown, c.shown);
    for (int j = 0; j < 14; j++) {
      int on = -1;
      GetCtrlVal(p1_h, lid[c.axis][j], &on);
      EXPECT_EQ(on, c.lit.count(lid[c.axis][j]) ? 1 : 0) << "LED " << lid[c.axis][j];
    }
  }
}

TEST_F(DisplayTest, TheRefreshShowsEveryAxisPositionAndStatus) {
  for (int axis = 0; axis < 3; axis++) {
    motion_sim::setPosition(kSerials[axis], 10.0 * (axis + 1));
    motion_sim::overrideStatus(kSerials[axis], 0x80000000u | (1u << axis));
  }
  Sleep(200);
  motion_sim::clearCallLog();
  RefreshDisplay();
  std::vector<std::pair<std::string, std::string>> reads;
  for (const motion_sim::Call& call : motion_sim::callLog()) reads.emplace_back(call.function, call.serial);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"ISC_GetPosition", kSerials[0]}, {"ISC_GetStatusBits", kSerials[0]},
      {"ISC_GetPosition", kSerials[1]}, {"ISC_GetStatusBits", kSerials[1]},
      {"ISC_GetPosition", kSerials[2]}, {"ISC_GetStatusBits", kSerials[2]}};
  EXPECT_EQ(reads, expected);
  for (int axis = 0; axis < 3; axis++) {
    double position = 0.0;
    int status = 0;
    GetCtrlVal(p1_h, dpos[axis], &position);
    GetCtrlVal(p1_h, dstat[axis], &status);
    EXPECT_DOUBLE_EQ(position, 10.0 * (axis + 1));
    EXPECT_EQ(static_cast<unsigned int>(status), 0x80000000u | (1u << axis));
  }
}

TEST_F(DisplayTest, TheTimerAsksForARefreshOnlyOnTicksWhileNoScanRuns) {
  runtime_testing::clearEvents();
  for (int event : {0, 1, 14, 16}) EXPECT_EQ(TimerCB(p1_h, PANEL_REFRESH, event, nullptr, 0, 0), 0);
  EXPECT_EQ(runtime_testing::pendingEvents(), 0u);

  ScanScheduled(true);
  EXPECT_EQ(TimerCB(p1_h, PANEL_REFRESH, EVENT_TIMER_TICK, nullptr, 0, 0), 0);
  EXPECT_EQ(runtime_testing::pendingEvents(), 0u);

  ScanEnded();
  EXPECT_EQ(TimerCB(0, 0, EVENT_TIMER_TICK, nullptr, 0, 0), 0);  // uses p1_h, not its arguments
  ASSERT_EQ(runtime_testing::pendingEvents(), 1u);
  int panel = 0;
  int control = 0;
  GetUserEvent(0, &panel, &control);
  EXPECT_EQ(panel, p1_h);
  EXPECT_EQ(control, PANEL_REFRESH);
}

TEST_F(DisplayTest, TicksQueueNoSecondRequestWhileOneWaits) {
  runtime_testing::clearEvents();
  for (int tick = 0; tick < 3; tick++) TimerCB(p1_h, PANEL_REFRESH, EVENT_TIMER_TICK, nullptr, 0, 0);
  ASSERT_EQ(runtime_testing::pendingEvents(), 1u);
  EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 1);
  TimerCB(p1_h, PANEL_REFRESH, EVENT_TIMER_TICK, nullptr, 0, 0);  // taken: the next tick asks again
  EXPECT_EQ(runtime_testing::pendingEvents(), 1u);
}

}  // namespace
