#include "grid.h"

#include "gui_runtime.h"
#include "panel_ids.h"
#include "soft_limits.h"

ScanGrid ReadScanGrid(void) {
  ScanGrid g{};
  GetCtrlVal(p1_h, PANEL_NX, &g.count[0]);
  GetCtrlVal(p1_h, PANEL_NY, &g.count[1]);
  GetCtrlVal(p1_h, PANEL_NZ, &g.count[2]);
  GetCtrlVal(p1_h, PANEL_DX, &g.step[0]);
  GetCtrlVal(p1_h, PANEL_DY, &g.step[1]);
  GetCtrlVal(p1_h, PANEL_DZ, &g.step[2]);
  GetCtrlVal(p1_h, PANEL_X0, &g.start[0]);
  GetCtrlVal(p1_h, PANEL_Y0, &g.start[1]);
  GetCtrlVal(p1_h, PANEL_Z0, &g.start[2]);
  GetCtrlVal(p1_h, PANEL_CBX, &g.on[0]);
  GetCtrlVal(p1_h, PANEL_CBY, &g.on[1]);
  GetCtrlVal(p1_h, PANEL_CBZ, &g.on[2]);
  // An axis that is not scanned has one point, at its start position.
  for (int k = 0; k < 3; k++) {
    if (g.on[k] == 0) g.count[k] = 1;
  }
  return g;
}

double GridPosition(const ScanGrid& grid, int axis, int index) {
  return grid.start[axis] + index * grid.step[axis];
}

std::int64_t GridPoints(const ScanGrid& grid) {
  // Multiplied in 64 bits: ints overflow for large grids. A count of 0 or less runs its
  // loop zero times, so the scan then has no points.
  std::int64_t points = 1;
  for (int k = 0; k < 3; k++) points *= grid.count[k] > 0 ? grid.count[k] : 0;
  return points;
}

bool GridLeavesLimits(const ScanGrid& grid, GridOutside* outside) {
  for (int axis = 0; axis < 3; axis++) {
    if (grid.count[axis] <= 0) continue;
    for (int index : {0, grid.count[axis] - 1}) {
      const double position = GridPosition(grid, axis, index);
      if (WithinSoftLimits(axis, position)) continue;
      *outside = {axis, index, position};
      return true;
    }
  }
  return false;
}
