#include "panel_actions.h"

#include <gtest/gtest.h>

#include <set>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "runtime_testing.h"
#include "scan.h"

namespace {

int axisOf(const std::string& serial) {
  int axis = 0;
  while (axis < 3 && serial != motion_sim::kSerials[axis]) axis++;
  return axis;
}

}  // namespace

void TypeGrid(Operator& op, const Grid& g) {
  const int n[3] = {PANEL_NX, PANEL_NY, PANEL_NZ};
  const int on[3] = {PANEL_CBX, PANEL_CBY, PANEL_CBZ};
  const int start[3] = {PANEL_X0, PANEL_Y0, PANEL_Z0};
  const int step[3] = {PANEL_DX, PANEL_DY, PANEL_DZ};
  for (int k = 0; k < 3; k++) {
    op.type(n[k], g.n[k]);
    op.type(on[k], g.on[k]);
    op.type(start[k], g.start[k]);
    op.type(step[k], g.step[k]);
  }
}

void EnableAll(Operator& op) {
  for (int control : {PANEL_ENABLE_X, PANEL_ENABLE_Y, PANEL_ENABLE_Z}) op.click(control);
  ASSERT_TRUE(op.waitFor([&] {
    return op.readInt(PANEL_LED_X_13) == 1 && op.readInt(PANEL_LED_Y_13) == 1 &&
           op.readInt(PANEL_LED_Z_13) == 1;
  }));
}

void RecordScanLed() { runtime_testing::recordWrites(p1_h, PANEL_SCANLED); }

bool WaitForScanEnd(Operator& op, double realSeconds) {
  // The end callback switches the LED off, then lowers the scan's request.
  return op.waitFor(
      [] {
        const std::vector<double> w = runtime_testing::writes(p1_h, PANEL_SCANLED);
        return w.size() >= 2 && w.back() == 0.0 && ctrl_c.load() == SCAN_GO_ON;
      },
      realSeconds);
}

void RunScan(Operator& op) {
  RecordScanLed();
  op.click(PANEL_SCAN_START);
  ASSERT_TRUE(WaitForScanEnd(op));
}

void PressStop(Operator& op) {
  ctrl_c.store(0);
  op.click(PANEL_SCAN_STOP);
  ASSERT_TRUE(op.waitFor([] { return ctrl_c.load() == 1; }));
}

void Press(Operator& op, int control) {
  op.click(control);
  PressStop(op);
}

void PauseRefresh(Operator& op) {
  SetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_ENABLED, 0);
  PressStop(op);
}

std::ostream& operator<<(std::ostream& out, const Move& m) { return out << m.axis << "@" << m.mm; }

std::vector<Move> AbsoluteMoves() {
  std::vector<Move> result;
  for (const motion_sim::Call& call : motion_sim::calls("ISC_SetMoveAbsolutePosition")) {
    result.push_back({"XYZ"[axisOf(call.serial)], static_cast<double>(call.args.at(0)) / 409600.0});
  }
  return result;
}

std::ostream& operator<<(std::ostream& out, const Command& c) {
  out << c.function << "(axis " << c.axis;
  for (long long a : c.args) out << ", " << a;
  return out << ")";
}

std::vector<Command> Commands() {
  static const std::set<std::string> kCommands = {
      "ISC_EnableChannel", "ISC_DisableChannel", "ISC_StopProfiled", "ISC_Home",
      "ISC_SetHomingParamsBlock", "ISC_ClearMessageQueue", "ISC_SetMoveAbsolutePosition",
      "ISC_MoveAbsolute", "ISC_SetMoveRelativeDistance", "ISC_MoveRelativeDistance"};
  std::vector<Command> result;
  for (const motion_sim::Call& call : motion_sim::callLog()) {
    if (kCommands.count(call.function) == 0) continue;
    const bool homing = call.function == "ISC_SetHomingParamsBlock";
    result.push_back({call.function, axisOf(call.serial),
                      homing ? std::vector<long long>{call.args.at(0)} : call.args});
  }
  return result;
}
