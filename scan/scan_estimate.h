// The time a scan takes by the model: every waited move's motion profile, the per-move
// completion latency and the dwells. Worked out in closed form, so that a grid of any size
// is estimated at once while the operator types it.
#pragma once

#include <cstdint>

#include "grid.h"
#include "motion_model.h"

// Seconds the worker dwells at every point.
inline constexpr double kPointDwell = 0.1;
// Mean time from a move's end until its wait sees the completion message: the library notices
// the end at its next poll, every 50 ms, so half of that on average, plus the message's way in.
inline constexpr double kCompletionLatency = 0.026;

struct ScanPlan {
  ScanGrid grid;
  bool serpentine;
  bool returnToStart;
  double origin[3];  // mm: where the stages stand when the scan starts
};

// One waited move as the estimate counts it: its motion plus the completion latency. A move
// of no length completes within its own call.
double WaitedMoveSeconds(double from, double to, const MotionLimits& limits = kStageLimits);

// The whole scan by the model, return to the start included when it is asked for; 0 for a
// grid without points.
double PlanSeconds(const ScanPlan& plan, const MotionLimits& limits = kStageLimits);
