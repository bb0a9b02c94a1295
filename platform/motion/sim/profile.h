// The path of one stage along its axis: speed up at constant acceleration to a peak speed,
// cruise, then slow down to rest at the same rate. Covers a move from rest (trapezoidal, or
// triangular when the move is too short to reach full speed) and the braking of a stage
// that is already under way. Units are mm and seconds.
#pragma once

namespace motion_sim::detail {

class Profile {
 public:
  // From rest at `from` to rest at `to`, never faster than `maxSpeed`.
  static Profile move(double from, double to, double maxSpeed, double accel);
  // From `from`, moving at `velocity` (signed), braking to rest.
  static Profile brake(double from, double velocity, double accel);
  // Straight to `to` in no time.
  static Profile jump(double from, double to);

  double duration() const { return rampUp_ + cruise_ + rampDown_; }
  double end() const { return end_; }
  int direction() const { return direction_; }  // +1 towards 300 mm, -1 towards 0

  // Position and signed velocity `elapsed` seconds after the start; before the start the
  // stage is at `from`, after the end at rest at end().
  double positionAt(double elapsed) const;
  double velocityAt(double elapsed) const;

 private:
  double from_ = 0.0;
  double end_ = 0.0;
  int direction_ = 1;
  double accel_ = 0.0;
  double peakSpeed_ = 0.0;
  double rampUp_ = 0.0;
  double cruise_ = 0.0;
  double rampDown_ = 0.0;
};

}  // namespace motion_sim::detail
