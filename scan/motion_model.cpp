#include "motion_model.h"

#include <cmath>

double MoveSeconds(double from, double to, const MotionLimits& limits) {
  const double distance = std::abs(to - from);
  const double v = limits.maxSpeed;
  const double a = limits.acceleration;
  // Both ramps to full speed together cover v²/a; a shorter move peaks where they meet.
  const double rampsDistance = v * v / a;
  if (distance >= rampsDistance) return 2.0 * v / a + (distance - rampsDistance) / v;
  return 2.0 * std::sqrt(distance / a);
}
