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
#include "scan_options.h"
#include "scan_point.h"
#include "visit_order.h"

namespace {

constexpr int kIndexControl[3] = {PANEL_IX, PANEL_IY, PANEL_IZ};
// The wait argument of every scan move, in milliseconds.
constexpr int kTimeout = 10000;

bool aborted() { return ScanPendingRequest() == SCAN_ABORT; }

// Moves `axis` to `target` and waits for it, with the move LED lit meanwhile. False, with no
// move or before the target is reached, once the scan is aborted: the worker is then to end at
// once.
bool waitedMove(int axis, double target) {
  if (aborted()) return false;
  SetCtrlVal(p1_h, PANEL_MOVELED, 1);
  LTS_MoveAbsolute(axis, target, kTimeout);
  SetCtrlVal(p1_h, PANEL_MOVELED, 0);
  if (!aborted()) return true;
  // The abort may have sent its stops just before this move went out: stop it again.
  LTS_StopProfiled(axis);
  return false;
}

// Moves `axis` to its grid position at `index` and waits for it; the axis's index control
// shows `index` first. Notes the target and whether the wait ended on the watchdog in `point`.
bool scanMove(const ScanGrid& grid, int axis, int index, ScanPoint& point) {
  if (aborted()) return false;
  point.index[axis] = index;
  point.target[axis] = GridPosition(grid, axis, index);
  SetCtrlVal(p1_h, kIndexControl[axis], index);
  const bool goOn = waitedMove(axis, point.target[axis]);
  point.timedOut[axis] = LTS_LastWaitTimedOut();
  return goOn;
}

// Where the stages stand now. Read from the stages themselves when the scan is to return
// there; otherwise the position display serves the time estimate, and a scan without that
// option talks to the stages exactly as it always has.
void readOrigin(const ScanOptions& options, double origin[3]) {
  if (!options.returnToStart) {
    ReadDisplayedPositions(origin);
    return;
  }
  for (int k = 0; k < 3; k++) origin[k] = LTS_GetPosition(k);
}

// Brings the stages back to `origin`, Z first, then Y, then X, each move waited for.
void returnToStart(const double origin[3]) {
  for (int axis = 2; axis >= 0; axis--) {
    if (!waitedMove(axis, origin[axis])) return;
  }
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
    r.options = ReadScanOptions();
    readOrigin(r.options, r.origin);
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
      const std::int64_t row = static_cast<std::int64_t>(iz) * n[1] + iy;
      for (int step = 0; step < n[0]; step++) {
        const int ix = VisitedX(run.grid, row, step, run.options.serpentine);
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
  if (run.options.returnToStart) returnToStart(run.origin);
  ConsumersEnd(run, CurrentOutcome(ScanPendingRequest()));
  return 0;
}
