#include "scan_gate.h"

#include <mutex>
#include <vector>

#include "gui_runtime.h"
#include "panel_ids.h"

namespace {

// The controls DimDroppedControls dimmed, to undim when the scan ends. The start row dims on
// the main thread and the worker's end callback restores on the pool thread. Never destroyed:
// a pool thread may still end a scan while the process exits.
std::mutex dimmedMutex;
std::vector<int>& dimmedByScan = *new std::vector<int>;

std::vector<int> panelControls() {
  const int count = GetPanelControlIds(p1_h, nullptr, 0);
  if (count <= 0) return {};
  std::vector<int> ids(static_cast<std::size_t>(count));
  GetPanelControlIds(p1_h, ids.data(), count);
  return ids;
}

// Only command buttons raise events (a window-close request comes as QUIT's).
bool raisesEvents(int control) {
  int kind = 0;
  return GetCtrlAttribute(p1_h, control, ATTR_CTRL_KIND, &kind) == 0 &&
         kind == CTRL_KIND_COMMAND_BUTTON;
}

}  // namespace

ScanEventEffect ScanEffectOf(int control) {
  switch (control) {
    case PANEL_SCAN_STOP: return SCAN_EVENT_STOPS;
    // The per-axis STOP buttons and Stop all (Escape) stop every stage while a scan moves
    // them.
    case PANEL_STOP_X:
    case PANEL_STOP_Y:
    case PANEL_STOP_Z:
    case PANEL_STOP_ALL:
    case PANEL_SCAN_ABORT: return SCAN_EVENT_ABORTS;
    default: return SCAN_EVENT_DROPPED;
  }
}

void DimDroppedControls(void) {
  const std::lock_guard lock(dimmedMutex);
  dimmedByScan.clear();
  for (const int control : panelControls()) {
    if (!raisesEvents(control) || ScanEffectOf(control) != SCAN_EVENT_DROPPED) continue;
    int dimmed = 0;
    GetCtrlAttribute(p1_h, control, ATTR_DIMMED, &dimmed);
    if (dimmed != 0) continue;  // dimmed before: stays so after the scan
    SetCtrlAttribute(p1_h, control, ATTR_DIMMED, 1);
    dimmedByScan.push_back(control);
  }
}

void RestoreDroppedControls(void) {
  const std::lock_guard lock(dimmedMutex);
  for (const int control : dimmedByScan) SetCtrlAttribute(p1_h, control, ATTR_DIMMED, 0);
  dimmedByScan.clear();
}
