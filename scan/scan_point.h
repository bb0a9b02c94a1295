// One visited grid point, as the scan saw it: a value that the scan's consumers receive.
#pragma once

#include <cstdint>

#include "grid.h"
#include "scan_options.h"

struct ScanPoint {
  std::int64_t number;      // 1 for the first point visited
  int index[3];             // ix, iy, iz
  double target[3];         // mm, x, y, z
  double position[3];       // mm, read back after the moves
  unsigned int status[3];   // status words, read back after the moves
  int timedOut[3];          // 1: the wait that brought the axis here ended on the watchdog
  double seconds;           // platform-clock time since the scan started
};

// What every consumer may need besides the point.
struct ScanRun {
  ScanGrid grid;
  ScanOptions options;
  double origin[3];       // mm, where the stages stood when the scan started
  std::int64_t planned;   // points in the whole scan
  double startSeconds;    // platform-clock time at the start
};
