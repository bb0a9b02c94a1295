#include "sim/stage.h"

#include <algorithm>
#include <cmath>

#include "sim/units.h"

namespace motion_sim::detail {

short Stage::open(double now) {
  if (open_) return kErrAlreadyOpen;
  if (faults.openCode != 0) return faults.openCode;
  open_ = true;
  sample(now);
  return 0;
}

void Stage::close(double now) {
  if (!open_) return;
  pollUpTo(now);
  halt(now);
  open_ = false;
  polling_.on = false;
  queue_.clear();
}

bool Stage::startPolling(double now, int milliseconds) {
  if (milliseconds <= 0) return false;
  pollUpTo(now);
  polling_ = Polling{true, now, milliseconds / 1000.0, -1};
  pollUpTo(now);
  return true;
}

void Stage::stopPolling(double now) {
  pollUpTo(now);
  polling_.on = false;
}

int Stage::sampledPosition(double now) {
  pollUpTo(now);
  return sampledPosition_;
}

DWORD Stage::sampledStatus(double now) {
  pollUpTo(now);
  return sampledStatus_;
}

void Stage::setEnabled(double now, bool enabled) {
  if (stalledAt_) return;
  pollUpTo(now);
  if (!enabled) halt(now);
  enabled_ = enabled;
}

void Stage::moveToTarget(double now) { moveTo(now, fromDeviceUnits(moveTarget)); }

void Stage::moveByDistance(double now) {
  moveTo(now, positionAt(now) + fromDeviceUnits(moveDistance));
}

void Stage::moveTo(double now, double targetMm) {
  if (!takesMotion()) return;
  // A target beyond travel ends at the limit switch, which reports "stopped".
  const double to = std::clamp(targetMm, 0.0, kTravelMm);
  begin(now, travel(positionAt(now), to, kMaxVelocity), false,
        to == targetMm ? MOT_Moved : MOT_Stopped);
}

void Stage::home(double now) {
  if (!takesMotion()) return;
  begin(now, travel(positionAt(now), 0.0, kHomingVelocity), true, MOT_Homed);
}

void Stage::stopProfiled(double now) {
  if (!takesMotion() || !moving(now)) return;
  const Profile& current = motion_->profile;
  const double elapsed = elapsedInMotion(now);
  begin(now,
        Profile::brake(current.positionAt(elapsed), current.velocityAt(elapsed), kAcceleration),
        false, MOT_Stopped);
}

Profile Stage::travel(double from, double to, double speed) const {
  return instantMoves_ ? Profile::jump(from, to) : Profile::move(from, to, speed, kAcceleration);
}

void Stage::begin(double now, const Profile& profile, bool homing, WORD completion) {
  pollUpTo(now);
  if (homing) homed_ = false;
  motion_ = Motion{profile, now, homing, completion};
  ++motionsBegun_;
}

void Stage::halt(double now) {
  if (!motion_) return;
  restMm_ = positionAt(now);
  motion_.reset();
}

std::optional<double> Stage::motionEnd() const {
  if (!motion_ || stalledAt_) return std::nullopt;
  return motion_->start + motion_->profile.duration();
}

std::optional<double> Stage::noticeTime() const {
  const std::optional<double> end = motionEnd();
  if (!end || !polling_.on) return std::nullopt;
  const double polls = std::ceil((*end - polling_.start) / polling_.interval);
  // Never before the end itself, whatever the rounding of the poll instant.
  return std::max(*end, polling_.start + polls * polling_.interval);
}

Stage::Callback Stage::finishMotion() {
  const Motion motion = *motion_;
  pollUpTo(motion.start + motion.profile.duration());
  restMm_ = motion.profile.end();
  if (motion.homing) homed_ = true;
  motion_.reset();
  if (faults.neverComplete) return nullptr;
  return post(Message{MOT_GenericMotorMessage, motion.completion, 0});
}

Stage::Callback Stage::post(Message message) {
  queue_.push_back(message);
  return callback_;
}

std::optional<Message> Stage::takeMessage() {
  if (queue_.empty()) return std::nullopt;
  const Message message = queue_.front();
  queue_.pop_front();
  return message;
}

void Stage::registerCallback(Callback callback) {
  callback_ = callback;
  if (callback) ++callbacksRegistered_;
}

void Stage::stall(double now, bool on) {
  pollUpTo(now);
  if (on && !stalledAt_) {
    stalledAt_ = now;
  } else if (!on && stalledAt_) {
    halt(now);  // at rest where it froze
    stalledAt_.reset();
  }
}

void Stage::setPosition(double now, double mm) {
  if (!std::isfinite(mm)) return;
  pollUpTo(now);
  motion_.reset();
  restMm_ = std::clamp(mm, 0.0, kTravelMm);
  sample(now);
}

void Stage::overrideStatus(double now, std::optional<DWORD> status) {
  pollUpTo(now);
  statusOverride_ = status;
}

StageState Stage::snapshot(double now) const {
  return StageState{.open = open_,
                    .polling = polling_.on,
                    .homed = homed(now),
                    .moving = moving(now),
                    .positionMm = positionAt(now),
                    .status = statusAt(now),
                    .queue = {queue_.begin(), queue_.end()},
                    .registeredCallbacks = callbacksRegistered_};
}

double Stage::elapsedInMotion(double t) const {
  return (stalledAt_ ? std::min(t, *stalledAt_) : t) - motion_->start;
}

bool Stage::moving(double t) const {
  return motion_ && (stalledAt_ || t < motion_->start + motion_->profile.duration());
}

bool Stage::homed(double t) const { return homed_ || (motion_ && motion_->homing && !moving(t)); }

double Stage::positionAt(double t) const {
  return motion_ ? motion_->profile.positionAt(elapsedInMotion(t)) : restMm_;
}

DWORD Stage::statusAt(double t) const {
  DWORD status = 0;
  const double position = positionAt(t);
  if (position >= kTravelMm) status |= ISC_STATUS_FORWARD_LIMIT;
  if (position <= 0.0) status |= ISC_STATUS_REVERSE_LIMIT;
  if (moving(t)) {
    status |=
        motion_->profile.direction() > 0 ? ISC_STATUS_MOVING_FORWARD : ISC_STATUS_MOVING_REVERSE;
    if (motion_->homing) status |= ISC_STATUS_HOMING;
  }
  if (open_) status |= ISC_STATUS_CONNECTED;
  if (homed(t)) status |= ISC_STATUS_HOMED;
  if (enabled_) status |= ISC_STATUS_ENABLED;
  return status;
}

// Samples the true state at the latest poll instant up to `now`, if not yet sampled. The
// state has not changed since the previous call, so the current profile gives it exactly.
void Stage::pollUpTo(double now) {
  if (!polling_.on) return;
  const auto tick = static_cast<long long>(std::floor((now - polling_.start) / polling_.interval));
  if (tick <= polling_.lastTick) return;
  polling_.lastTick = tick;
  sample(std::min(now, polling_.start + tick * polling_.interval));
}

void Stage::sample(double t) {
  sampledPosition_ = toDeviceUnits(positionAt(t)).value_or(0);
  sampledStatus_ = statusOverride_.value_or(statusAt(t));
}

}  // namespace motion_sim::detail
