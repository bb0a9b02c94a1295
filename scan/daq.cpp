#include <cstdint>

#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "scan.h"
#include "status_display.h"

// Moves axis `axis` to `position` and waits for it, with the move LED lit meanwhile; the
// index control of that level shows `index` first. False, with no move or before the point
// is reached, once the scan is aborted: the worker is then to end at once.
static bool scanMove(int indexControl, int index, int axis, double position, int timeout) {
  if (scanAbort.load() != 0) return false;
  SetCtrlVal(p1_h, indexControl, index);
  SetCtrlVal(p1_h, PANEL_MOVELED, 1);
  LTS_MoveAbsolute(axis, position, timeout);
  SetCtrlVal(p1_h, PANEL_MOVELED, 0);
  if (scanAbort.load() == 0) return true;
  // The abort may have sent its stops just before this move went out: stop it again.
  LTS_StopProfiled(axis);
  return false;
}

int daq(void*) {
  ctrl_c.store(0);
  SetCtrlVal(p1_h, PANEL_SCANLED, 1);

  int nx = 0, ny = 0, nz = 0;
  double dx = 0.0, dy = 0.0, dz = 0.0, x0 = 0.0, y0 = 0.0, z0 = 0.0;
  int cbx = 0, cby = 0, cbz = 0;
  GetCtrlVal(p1_h, PANEL_NX, &nx);
  GetCtrlVal(p1_h, PANEL_NY, &ny);
  GetCtrlVal(p1_h, PANEL_NZ, &nz);
  GetCtrlVal(p1_h, PANEL_DX, &dx);
  GetCtrlVal(p1_h, PANEL_DY, &dy);
  GetCtrlVal(p1_h, PANEL_DZ, &dz);
  GetCtrlVal(p1_h, PANEL_X0, &x0);
  GetCtrlVal(p1_h, PANEL_Y0, &y0);
  GetCtrlVal(p1_h, PANEL_Z0, &z0);
  const int timeout = 10000;
  GetCtrlVal(p1_h, PANEL_CBX, &cbx);
  GetCtrlVal(p1_h, PANEL_CBY, &cby);
  GetCtrlVal(p1_h, PANEL_CBZ, &cbz);

  // An axis that is not scanned has one point, at its start position.
  if (cbx == 0) nx = 1;
  if (cby == 0) ny = 1;
  if (cbz == 0) nz = 1;

  // Counted and multiplied in 64 bits: ints overflow for large grids.
  std::int64_t nstep = 0;
  const double totalSteps = static_cast<double>(static_cast<std::int64_t>(nx) * ny * nz);

  for (int iz = 0; iz < nz; iz++) {
    const double zposition = z0 + iz * dz;
    if (!scanMove(PANEL_IZ, iz, 2, zposition, timeout)) return 0;
    for (int iy = 0; iy < ny; iy++) {
      const double yposition = y0 + iy * dy;
      if (!scanMove(PANEL_IY, iy, 1, yposition, timeout)) return 0;
      for (int ix = 0; ix < nx; ix++) {
        const double xposition = x0 + ix * dx;
        if (!scanMove(PANEL_IX, ix, 0, xposition, timeout)) return 0;
        RefreshDisplay();
        nstep++;
        const double ratio = static_cast<double>(nstep) / totalSteps;
        SetCtrlVal(p1_h, PANEL_PROGRESS, 100.0 * ratio);
        Delay(0.1);
        if (ctrl_c.load() != 0) break;
      }
      if (ctrl_c.load() != 0) break;
    }
    if (ctrl_c.load() != 0) break;
  }
  return 0;
}
