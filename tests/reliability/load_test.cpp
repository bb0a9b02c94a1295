// Load and time: a long scan in bounded memory, a deep event queue drained in order, and an
// operator mashing buttons during a scan.
#include <gtest/gtest.h>

#include <QSettings>

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

// Each test sets the clock's speed it needs.
class LoadTest : public SimulatedRigTest {
 protected:
  LoadTest() : SimulatedRigTest(1.0) {}
};

// Resident memory of this process, in bytes.
long residentBytes() {
  long pages = 0;
  long resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

TEST_F(LoadTest, AScanOfAHundredThousandPointsStaysInBoundedMemory) {
  platform_clock::setSpeed(10000.0);  // the 0.1 s dwell takes 10 microseconds
  motion_sim::setInstantMoves(true);
  motion_sim::setCallLogCapacity(0);  // counts only
  long early = 0;
  long late = 0;
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{100, 100, 10}, {1, 1, 1}, {10.0, 10.0, 10.0}, {0.01, 0.01, 0.1}});
    RecordScanLed();
    const std::size_t movesBefore = motion_sim::callCount("ISC_MoveAbsolute");
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readDouble(PANEL_PROGRESS) >= 1.0; }, 600.0));
    early = residentBytes();  // after the first thousand points
    ASSERT_TRUE(WaitForScanEnd(op, 600.0));
    late = residentBytes();
    EXPECT_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
    // Every point visited once: one x-move per point, one y-move per row, one z-move per plane.
    EXPECT_EQ(motion_sim::callCount("ISC_MoveAbsolute") - movesBefore, 100000u + 1000u + 10u);
    EXPECT_EQ(op.readInt(PANEL_IX), 99);
    EXPECT_EQ(op.readInt(PANEL_IY), 99);
    EXPECT_EQ(op.readInt(PANEL_IZ), 9);
  });
  EXPECT_EQ(result, 0);
  std::cerr << "resident memory after 1000 points " << early << " B, at the end " << late << " B\n";
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  // (A sanitizer keeps freed memory in quarantine or shadow: its resident size says nothing.)
  EXPECT_LE(late - early, 2L * 1024 * 1024);
#endif
}

TEST_F(LoadTest, TenThousandQueuedEventsDrainInOrder) {
  platform_clock::setSpeed(1000.0);
  // 2000 jogs of X, however far the stage gets meanwhile, all within X's soft limits.
  SetSetting("limits/Xmin", "-1e6");
  SetSetting("limits/Xmax", "1e6");
  const int result = RunQuarlex([](Operator& op) {
    PauseRefresh(op);  // only the queued refreshes below
    motion_sim::clearCallLog();
    const int pattern[] = {PANEL_JOG_X_PLUS, PANEL_REFRESH, PANEL_STOP_Y, PANEL_ENABLE_Z, PANEL_SCAN_STOP};
    for (int i = 0; i < 2000; i++) {
      for (int control : pattern) QueueUserEvent(EVENT_COMMIT, p1_h, control);
    }
    op.click(PANEL_QUIT);
    EXPECT_TRUE(op.waitForProgramEnd(120.0));
  });
  EXPECT_EQ(result, 0);
  // One letter per handled event, from what the stages received: jog, refresh, stop, enable.
  std::string handled;
  for (const motion_sim::Call& call : motion_sim::callLog()) {
    if (call.function == "ISC_SetMoveRelativeDistance") handled += 'J';
    // Y's position: a jog of X reads X's own, to check its target against the soft limits.
    if (call.function == "ISC_GetPosition" && call.serial == kSerials[1]) handled += 'R';
    if (call.function == "ISC_StopProfiled") handled += 'S';
    if (call.function == "ISC_EnableChannel") handled += 'E';
  }
  std::string expected;
  for (int i = 0; i < 2000; i++) expected += "JRSE";
  EXPECT_EQ(handled, expected);
  EXPECT_EQ(motion_sim::calls("ISC_Close").size(), 3u);
  QSettings(QSettings::IniFormat, QSettings::UserScope, "Quarlex", "Quarlex").remove("limits");
}

TEST_F(LoadTest, ButtonMashingDuringAScanOnlyStopActs) {
  platform_clock::setSpeed(20.0);
  motion_sim::neverComplete(kSerials[0], true);  // each x-move waits its full 10 s watchdog
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{20, 1, 1}, {1, 0, 0}});
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_MOVELED) == 1 && op.readInt(PANEL_IX) == 0; }));
    // Every button whose events a scan drops (the STOP buttons abort it, and are left out).
    const int buttons[] = {PANEL_QUIT, PANEL_DISABLE_Z, PANEL_ENABLE_Z, PANEL_DISABLE_Y, PANEL_ENABLE_Y,
                           PANEL_DISABLE_X, PANEL_ENABLE_X,
                           PANEL_HOME_Z, PANEL_HOME_Y, PANEL_HOME_X, PANEL_RST_1, PANEL_RST_2, PANEL_RST_3,
                           PANEL_JOG_Z_PLUS, PANEL_JOG_Y_MINUS, PANEL_JOG_Z_MINUS, PANEL_JOG_X_PLUS,
                           PANEL_JOG_Y_PLUS, PANEL_JOG_X_MINUS, PANEL_GOTO_Z, PANEL_GOTO_Y, PANEL_GOTO_X,
                           PANEL_GOTO_ALL, PANEL_SCAN_START};
    std::mt19937 pick(2026);
    std::uniform_int_distribution<std::size_t> any(0, std::size(buttons) - 1);
    const std::size_t linesBefore = op.lines().size();
    for (int i = 0; i < 60; i++) op.click(buttons[any(pick)]);
    const int atStop = op.readInt(PANEL_IX);
    op.click(PANEL_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd(op));
    // Only the scan's own moves reached the stages, and it ended after the point under way.
    for (const Command& c : Commands()) {
      EXPECT_TRUE(c.function == "ISC_SetMoveAbsolutePosition" || c.function == "ISC_MoveAbsolute") << c;
    }
    const std::size_t xMoves = AbsoluteMoves().size() - 2;  // less the z- and y-move
    EXPECT_GE(xMoves, static_cast<std::size_t>(atStop + 1));
    EXPECT_LE(xMoves, static_cast<std::size_t>(atStop + 2));
    const std::vector<std::string> lines = op.lines();
    for (std::size_t i = linesBefore; i < lines.size(); i++) EXPECT_EQ(lines[i].find("RST"), std::string::npos);
    // The program is still there: nothing pressed during the scan was kept for later.
    PressStop(op);
    EXPECT_EQ(AbsoluteMoves().size(), xMoves + 2);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
