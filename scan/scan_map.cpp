#include "scan_map.h"

#include <cstring>
#include <mutex>

#include "gui_runtime.h"
#include "panel_ids.h"
#include "run_state.h"

namespace {

// The grid the map shows, so that the idle refresh redraws only when the typed one differs.
// Set by a scan's start on its worker and read by the event loop.
std::mutex shownMutex;
ScanGrid shownGrid{};
bool gridShown = false;

bool sameGrid(const ScanGrid& a, const ScanGrid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Shows plane `iz` of `grid`, every point planned.
void showPlane(const ScanGrid& grid, int iz) {
  const MapPlane plane = {{grid.count[0], grid.count[1]},
                          {grid.start[0], grid.start[1]},
                          {grid.step[0], grid.step[1]},
                          iz,
                          grid.count[2],
                          GridPosition(grid, 2, iz)};
  SetMapPlane(p1_h, PANEL_SCAN_MAP, &plane);
}

// Records `grid` as the one shown; true when it differs from the one shown before.
bool noteShown(const ScanGrid& grid) {
  std::lock_guard lock(shownMutex);
  const bool changed = !gridShown || !sameGrid(grid, shownGrid);
  shownGrid = grid;
  gridShown = true;
  return changed;
}

// The plane the scan's points are on now; a scan visits planes in order.
int currentPlane = 0;  // the worker's alone

}  // namespace

void MapBegin(const ScanRun& run) {
  noteShown(run.grid);
  currentPlane = 0;
  showPlane(run.grid, 0);
}

void MapPoint(const ScanRun& run, const ScanPoint& point) {
  if (point.index[2] != currentPlane) {
    currentPlane = point.index[2];
    showPlane(run.grid, currentPlane);
  }
  const bool timedOut = point.timedOut[0] || point.timedOut[1] || point.timedOut[2];
  SetMapPoint(p1_h, PANEL_SCAN_MAP, point.index[0], point.index[1],
              timedOut ? MAP_POINT_TIMED_OUT : MAP_POINT_DONE);
  SetMapMarker(p1_h, PANEL_SCAN_MAP, point.position[0], point.position[1]);
}

void MapRefresh(const ScanGrid& grid, const double shownPositions[3]) {
  if (!ScanRunning() && noteShown(grid)) showPlane(grid, 0);
  SetMapMarker(p1_h, PANEL_SCAN_MAP, shownPositions[0], shownPositions[1]);
}
