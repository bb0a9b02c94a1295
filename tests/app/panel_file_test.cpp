// The real panel file: every control the program addresses, with its kind and data type,
// its stored defaults and the two timers.
#include <gtest/gtest.h>

#include "gui_runtime.h"
#include "panel_check.h"
#include "panel_ids.h"
#include "rig.h"

namespace {

using PanelFileTest = RigTest;

TEST_F(PanelFileTest, HoldsEveryControlWithItsKindAndType) {
  EXPECT_EQ(CheckPanelControls(p1_h), "");
}

TEST_F(PanelFileTest, StoresTheDefaultsTheProgramStartsFrom) {
  for (int led : {PANEL_COMLED, PANEL_SCANLED, PANEL_MOVELED}) {
    int value = -1;
    ASSERT_EQ(GetCtrlVal(p1_h, led, &value), 0);
    EXPECT_EQ(value, 0) << "LED " << led;
  }
}

TEST_F(PanelFileTest, HasTheWatchdogAndARefreshTimerOfAFewTicksASecond) {
  int kind = 0;
  ASSERT_EQ(GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_CTRL_KIND, &kind), 0);
  EXPECT_EQ(kind, CTRL_KIND_TIMER);
  int enabled = -1;
  ASSERT_EQ(GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &enabled), 0);
  EXPECT_EQ(enabled, 0);  // armed only by a wait

  // The refresh timer carries id 88, the id of the refresh requests.
  double interval = 0.0;
  ASSERT_EQ(GetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_INTERVAL, &interval), 0);
  EXPECT_GE(interval, 0.1);
  EXPECT_LE(interval, 0.25);
  ASSERT_EQ(GetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_ENABLED, &enabled), 0);
  EXPECT_EQ(enabled, 1);
}

}  // namespace
