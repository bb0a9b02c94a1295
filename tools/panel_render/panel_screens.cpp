// Screenshots of the real panel on the simulated rig, for the README and for looking at:
// during a scan, after a scan whose points timed out, the soft-limits dialog and a refused
// go-to. tools/render-panel.sh runs it with
// QUARLEX_SHOTS_DIR naming the folder; it is not one of the suites.
#include <gtest/gtest.h>

#include <QApplication>
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

void grab(QWidget* widget, const std::string& name) {
  ASSERT_NE(widget, nullptr) << name;
  const QString path = QString::fromStdString(outDir() + "/" + name);
  EXPECT_TRUE(widget->grab().save(path)) << name;
}

void grabPanel(Operator& op, const std::string& name) {
  op.onGuiThread([&] { grab(runtime_testing::panelWidget(p1_h), name); });
}

TEST(PanelScreens, DuringAScanAndAfterTimeOuts) {
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

TEST(PanelScreens, TheLimitsDialogAndARefusedGoTo) {
  const int result = RunQuarlex([](Operator& op) {
    op.click(PANEL_LIMITS);
    QWidget* dialog = nullptr;
    ASSERT_TRUE(op.waitFor([&] {
      op.onGuiThread([&] { dialog = QApplication::activeModalWidget(); });
      return dialog != nullptr;
    }));
    op.onGuiThread([&] {
      grab(dialog, "limits-dialog.png");
      dialog->close();
    });

    EnableAll(op);
    op.type(PANEL_TARGET_X, -50.0);
    const std::size_t printed = op.lines().size();
    op.click(PANEL_GOTO_X);
    ASSERT_TRUE(op.waitFor([&] { return op.lines().size() > printed; }));
    op.waitFor([] { return false; }, 0.5);  // the log and a few refreshes
    grabPanel(op, "refused-go-to.png");
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
