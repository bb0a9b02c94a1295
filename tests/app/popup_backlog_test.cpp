// A pop-up holds the event loop while the refresh timer keeps ticking. However long it
// stays open, the loop then finds at most one refresh request ahead of the operator's next
// press, so that press (a STOP among them) is handled at once.
#include <gtest/gtest.h>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

class PopupBacklogTest : public SimulatedRigTest {
 protected:
  PopupBacklogTest() : SimulatedRigTest(1000.0) {}
};

TEST_F(PopupBacklogTest, APopupLeftOpenTwentyMinutesLeavesOneRefreshAheadOfTheNextPress) {
  const int result = RunQuarlex([](Operator& op) {
    op.click(PANEL_SCAN_START);  // the stages are not enabled: the start row's pop-up
    ASSERT_TRUE(op.waitFor([&] { return !op.popupText().empty(); }));
    Sleep(20 * 60 * 1000);  // a thousand times faster, on the platform clock
    EXPECT_LE(runtime_testing::pendingEvents(), 1u);

    // From here only what waits already goes ahead of the press.
    SetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_ENABLED, 0);
    motion_sim::clearCallLog();
    op.dismissPopup();
    op.click(PANEL_JOG_X_PLUS);
    ASSERT_TRUE(op.waitFor([] { return !motion_sim::calls("ISC_SetMoveRelativeDistance").empty(); }));
    int refreshesFirst = 0;
    for (const motion_sim::Call& call : motion_sim::callLog()) {
      if (call.function == "ISC_SetMoveRelativeDistance") break;
      if (call.function == "ISC_GetPosition" && call.serial == motion_sim::kSerials[0]) refreshesFirst++;
    }
    // The one request that waited, and at most one tick due as the timer was stopped.
    EXPECT_LE(refreshesFirst, 2);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
