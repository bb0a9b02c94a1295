// Screenshots of the real panel during a scan and after a scan whose points timed out, on the
// simulated rig, for the README and for looking at. tools/render-panel.sh runs it with
// QUARLEX_SHOTS_DIR naming the folder; it is not one of the suites.
#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

#include <cstdlib>
#include <string>

#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "status_display.h"

namespace {

std::string outDir() {
  const char* dir = std::getenv("QUARLEX_SHOTS_DIR");
  return dir ? dir : ".";
}

void grabPanel(Operator& op, const std::string& name) {
  op.onGuiThread([&] {
    const QString path = QString::fromStdString(outDir() + "/" + name);
    EXPECT_TRUE(runtime_testing::panelWidget(p1_h)->grab().save(path)) << name;
  });
}

TEST(ScanScreens, DuringAScanAndAfterTimeOuts) {
  platform_clock::setSpeed(1.0);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{6, 4, 1}, {1, 1, 0}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}});
    RecordScanLed();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_PROGRESS) >= 40.0; }));
    grabPanel(op, "scan-running.png");
    ASSERT_TRUE(WaitForScanEnd(op));

    // Y reports no completions: every point's Y wait ends on the 10 s watchdog.
    platform_clock::setSpeed(40.0);
    motion_sim::neverComplete(motion_sim::kSerials[1], true);
    TypeGrid(op, Grid{{3, 2, 1}, {1, 1, 0}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}});
    RunScan(op);
    motion_sim::neverComplete(motion_sim::kSerials[1], false);
    platform_clock::setSpeed(1.0);
    op.waitFor([] { return false; }, 1.0);  // a few refreshes
    grabPanel(op, "scan-timed-out.png");
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
