#include "sim/profile.h"

#include <algorithm>
#include <cmath>

namespace motion_sim::detail {

Profile Profile::move(double from, double to, double maxSpeed, double accel) {
  Profile p = jump(from, to);
  const double distance = std::abs(to - from);
  if (distance == 0.0) return p;
  p.accel_ = accel;
  // Ramping up to full speed and back down covers maxSpeed²/accel; a shorter move peaks
  // where the two ramps meet.
  const double rampsDistance = maxSpeed * maxSpeed / accel;
  p.peakSpeed_ = distance >= rampsDistance ? maxSpeed : std::sqrt(distance * accel);
  p.rampUp_ = p.rampDown_ = p.peakSpeed_ / accel;
  p.cruise_ = distance >= rampsDistance ? (distance - rampsDistance) / maxSpeed : 0.0;
  return p;
}

Profile Profile::brake(double from, double velocity, double accel) {
  const double speed = std::abs(velocity);
  const int direction = velocity < 0.0 ? -1 : 1;
  Profile p = jump(from, from + direction * speed * speed / (2.0 * accel));
  p.direction_ = direction;
  p.accel_ = accel;
  p.peakSpeed_ = speed;  // no ramp up: it starts at its peak
  p.rampDown_ = speed / accel;
  return p;
}

Profile Profile::jump(double from, double to) {
  Profile p;
  p.from_ = from;
  p.end_ = to;
  p.direction_ = to < from ? -1 : 1;
  return p;
}

double Profile::positionAt(double elapsed) const {
  if (elapsed >= duration()) return end_;  // exact, whatever the rounding on the way
  const double up = std::clamp(elapsed, 0.0, rampUp_);
  const double cruise = std::clamp(elapsed - rampUp_, 0.0, cruise_);
  const double down = std::clamp(elapsed - rampUp_ - cruise_, 0.0, rampDown_);
  const double distance =
      0.5 * accel_ * up * up + peakSpeed_ * cruise + peakSpeed_ * down - 0.5 * accel_ * down * down;
  return from_ + direction_ * distance;
}

double Profile::velocityAt(double elapsed) const {
  if (elapsed < 0.0 || elapsed >= duration()) return 0.0;
  double speed = peakSpeed_;
  if (elapsed < rampUp_) {
    speed = accel_ * elapsed;
  } else if (elapsed >= rampUp_ + cruise_) {
    speed = peakSpeed_ - accel_ * (elapsed - rampUp_ - cruise_);
  }
  return direction_ * speed;
}

}  // namespace motion_sim::detail
