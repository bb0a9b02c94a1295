#include <cstdint>

#include "consumers.h"
#include "grid.h"
#include "gui_runtime.h"
#include "lts.h"
#include "outcome.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "run_state.h"
#include "scan.h"
#include "scan_point.h"

namespace {

constexpr int kIndexControl[3] = {PANEL_IX, PANEL_IY, PANEL_IZ};
// The wait argument of every scan move, in milliseconds.
constexpr int kTimeout = 10000;

bool aborted() { return ScanPendingRequest() == SCAN_ABORT; }

// Moves `axis` to its grid position at `index` and waits for it, with the move LED lit
// meanwhile; the axis's index control shows `index` first. Notes the target and whether the
// wait ended on the watchdog in `point`. False, with no move or before the point is reached,
// once the scan is aborted: the worker is then to end at once.
bool scanMove(const ScanGrid& grid, int axis, int index, ScanPoint& point) {
  if (aborted()) return false;
  point.index[axis] = index;
  point.target[axis] = GridPosition(grid, axis, index);
  SetCtrlVal(p1_h, kIndexControl[axis], index);
  SetCtrlVal(p1_h, PANEL_MOVELED, 1);
  LTS_MoveAbsolute(axis, point.target[axis], kTimeout);
  SetCtrlVal(p1_h, PANEL_MOVELED, 0);
  point.timedOut[axis] = LTS_LastWaitTimedOut();
  if (!aborted()) return true;
  // The abort may have sent its stops just before this move went out: stop it again.
  LTS_StopProfiled(axis);
  return false;
}

// Completes `point` with what the stages report now.
void measure(const ScanRun& run, ScanPoint& point) {
  for (int k = 0; k < 3; k++) {
    point.position[k] = LTS_GetPosition(k);
    point.status[k] = LTS_GetStatus(k);
  }
  point.seconds = platform_clock::now() - run.startSeconds;
}

bool endRequested() { return ScanPendingRequest() != SCAN_GO_ON; }

}  // namespace

int daq(void*) {
  ScanStarted();
  SetCtrlVal(p1_h, PANEL_SCANLED, 1);
  const ScanRun run = [] {
    ScanRun r{};
    r.grid = ReadScanGrid();
    r.planned = GridPoints(r.grid);
    r.startSeconds = platform_clock::now();
    return r;
  }();
  const int* n = run.grid.count;
  ConsumersBegin(run);

  ScanPoint point{};
  for (int iz = 0; iz < n[2]; iz++) {
    if (!scanMove(run.grid, 2, iz, point)) break;
    for (int iy = 0; iy < n[1]; iy++) {
      if (!scanMove(run.grid, 1, iy, point)) break;
      for (int ix = 0; ix < n[0]; ix++) {
        if (!scanMove(run.grid, 0, ix, point)) break;
        point.number++;
        measure(run, point);
        ConsumePoint(run, point);
        Delay(0.1);
        if (endRequested()) break;
      }
      if (endRequested()) break;
    }
    if (endRequested()) break;
  }
  ConsumersEnd(run, CurrentOutcome(ScanPendingRequest()));
  return 0;
}
