// Device units of the simulated stages. Distances, velocities and accelerations share one
// scale: kStepsPerMm device units per mm, per mm/s and per mm/s².
#pragma once

#include <cmath>
#include <limits>
#include <optional>

#include "motion_sim.h"

namespace motion_sim::detail {

// The nearest whole number of device units to `real`, or nothing when that is not an int
// (not finite, or out of range): converting such a double to int would be undefined.
inline std::optional<int> toDeviceUnits(double real) {
  const double units = std::round(real * kStepsPerMm);
  if (!(units >= std::numeric_limits<int>::min() && units <= std::numeric_limits<int>::max())) {
    return std::nullopt;
  }
  return static_cast<int>(units);
}

inline double fromDeviceUnits(long long units) { return static_cast<double>(units) / kStepsPerMm; }

}  // namespace motion_sim::detail
