// What a scan of a grid must take at the least, worked out from the stages' motion profile
// (the model the scan's estimate uses), and what its completion polling added, read from the simulator's call log.
#pragma once

#include <vector>

struct Grid {
  int nx, ny, nz;
  double x0, y0, z0, dx, dy, dz;
};

// One waited move of the scan, in the order the scan makes it.
struct PlannedMove {
  int axis;
  double from, to;  // mm
  double motion;    // seconds the stage's profile takes
};

// The scan's moves from the stages' `start` positions: z outermost, then y, then x, each
// axis moved at every point of its level, as the scan does; in serpentine order odd rows run
// x backwards.
std::vector<PlannedMove> planMoves(const Grid& grid, const double start[3], bool serpentine = false);

inline constexpr double kWaitPoll = 0.25;  // the completion wait's longest sleep

// The physical limit: every move's profile plus the dwells.
double physicalLimit(const std::vector<PlannedMove>& moves, int points);
// The same with each move rounded up to the next 250 ms poll of its wait, as a scan whose
// wait sleeps out every poll of an empty queue takes.
double pollRoundedTime(const std::vector<PlannedMove>& moves, int points);

// Clock seconds from each move's end to the first poll instant of its stage after it (when the
// polling thread queues its message), summed over the moves; from the call log's move and
// polling start times. An upper bound: a library call that comes between the end and that
// poll queues the message sooner. A move of no length ends within its own call. The log
// must hold the scan's moves, matched in order with `moves`.
double pollingLatency(const std::vector<PlannedMove>& moves);
