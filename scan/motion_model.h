// How long one stage move takes at the least: the stage speeds up at a constant rate to a
// peak speed, cruises, then brakes at the same rate (a triangle when the move is too short to
// reach full speed). The one model of a move that the scan's time estimate and the benchmarks
// share.
#pragma once

struct MotionLimits {
  double maxSpeed;      // mm/s
  double acceleration;  // mm/s²
};

// The stages' limits: the motion interface reports no velocity parameters, so these are the
// simulated stages' (50 mm/s, 50 mm/s²), which the rig's stages are set up to match.
inline constexpr MotionLimits kStageLimits{50.0, 50.0};

// Seconds from rest at `from` to rest at `to` (mm); 0 for a move of no length.
double MoveSeconds(double from, double to, const MotionLimits& limits = kStageLimits);
