// The live map of the scan: the grid's current XY plane, the visited points by outcome and
// the stages' position, on the panel's map control. Between scans it previews the typed grid.
#pragma once

#include "outcome.h"
#include "scan_point.h"

// The scan's consumer: the first plane at the start, each visited point by outcome, a new
// plane when the scan reaches it, and the marker at the positions read back.
void MapBegin(const ScanRun& run);
void MapPoint(const ScanRun& run, const ScanPoint& point);

// The event loop's refresh, after the display's: while no scan runs, previews the typed grid
// when it differs from the one shown; always moves the marker to the positions just shown
// (mm, x, y, z).
void MapRefresh(const ScanGrid& grid, const double shownPositions[3]);
