// The scan grid typed on the panel, read once at the start of a scan.
#pragma once

#include <cstdint>

// Per axis, in the order x, y, z (the axis index).
struct ScanGrid {
  int count[3];     // points along the axis; 1 for an axis that is not scanned
  double start[3];  // mm, the first point
  double step[3];   // mm between neighbouring points
  int on[3];        // nonzero: the axis is scanned
};

// Reads the grid from the panel: counts, steps, starts, then the axis check boxes.
ScanGrid ReadScanGrid(void);
// The target of `axis` at `index`, computed from the index rather than accumulated.
double GridPosition(const ScanGrid& grid, int axis, int index);
// Points in the whole scan; 0 when an axis has no points.
std::int64_t GridPoints(const ScanGrid& grid);

// A planned point that leaves its axis's soft limits.
struct GridOutside {
  int axis;
  int index;
  double position;  // mm
};
// Checks the first and last index of each axis with points, x first, against the soft
// limits: the positions between lie between them. True, with the first point found in
// *outside, when one leaves them.
bool GridLeavesLimits(const ScanGrid& grid, GridOutside* outside);
