// The order in which the scan visits the x points of a row. Rows are counted over the whole
// scan (row = iz × ny + iy), so that in serpentine order no row, not even the first of a new
// plane, returns to x0.
#pragma once

#include <cstdint>

#include "grid.h"

// The x index visited at `step` (0 for the first point) of `row`: `step` itself in raster
// order; in serpentine order the odd rows run backwards, from the last x index to 0.
int VisitedX(const ScanGrid& grid, std::int64_t row, int step, bool serpentine);
