// One simulated stage: its motion in clock time, its true status word, the samples its
// polling takes, its message queue and the faults a test injected.
//
// Every method takes `now`, the clock time of the call, which never decreases from one call
// to the next. State changes only at those calls, so the true state between two calls is a
// function of time (the current motion profile); samples are taken lazily from it, at the
// poll instants that passed, just before each change.
#pragma once

#include <deque>
#include <optional>

#include "motion_sim.h"
#include "sim/profile.h"

namespace motion_sim::detail {

class Stage {
 public:
  using Callback = void (*)();

  // What a test made go wrong; see the fault functions of motion_sim.h.
  struct Faults {
    short openCode = 0;
    bool deviceInfo = false;
    bool homingParamsRead = false;
    bool neverComplete = false;
    int queueSizeError = 0;
  };

  // Stored for the library's Get/SetHomingParamsBlock; homing itself always runs to 0 at
  // kHomingVelocity. Velocity and offset are in device units (kStepsPerMm per mm/s, per mm).
  static constexpr auto kDefaultHomingVelocity =
      static_cast<unsigned>(kHomingVelocity * kStepsPerMm);
  static constexpr auto kDefaultHomingOffset = static_cast<unsigned>(0.5 * kStepsPerMm);

  // Settings with no effect of their own until a command uses them.
  Faults faults;
  MOT_HomingParameters homingParams{MOT_Forwards, MOT_ReverseLimitSwitch, kDefaultHomingVelocity,
                                    kDefaultHomingOffset};
  int moveTarget = 0;    // device units, used by moveToTarget()
  int moveDistance = 0;  // device units, used by moveByDistance()

  // Connection. Closing stops any motion where it is, stops polling and empties the queue;
  // the samples keep their last values. The callers check that a stage is open before they
  // poll, command it or register its callback.
  bool isOpen() const { return open_; }
  short open(double now);
  void close(double now);

  bool startPolling(double now, int milliseconds);
  void stopPolling(double now);
  bool polls() const { return polling_.on; }
  int sampledPosition(double now);
  DWORD sampledStatus(double now);

  // Motor commands. A stalled stage ignores them; a disabled one ignores all but enabling.
  // A new motion starts from rest where the stage is and supersedes the current one, which
  // queues nothing. Homing clears the homed bit until it completes.
  void setEnabled(double now, bool enabled);
  void moveToTarget(double now);
  void moveByDistance(double now);
  void home(double now);
  void stopProfiled(double now);

  // Completion: when the current motion will end, if it will; finishMotion() brings it to
  // that end. Returns the callback to call for the message queued, if any.
  std::optional<double> motionEnd() const;
  Callback finishMotion();
  // The first poll instant that sees the current motion's end, when polling runs and the
  // motion will end; and how many motions have begun, so that a waiter sees a new one.
  std::optional<double> noticeTime() const;
  unsigned long long motionsBegun() const { return motionsBegun_; }

  // The message queue. post() returns the callback to call for the message.
  Callback post(Message message);
  std::optional<Message> takeMessage();
  void clearMessages() { queue_.clear(); }
  int queueSize() const { return static_cast<int>(queue_.size()); }
  void registerCallback(Callback callback);

  // Test controls.
  void setInstantMoves(bool on) { instantMoves_ = on; }
  void stall(double now, bool on);
  void setPosition(double now, double mm);
  void overrideStatus(double now, std::optional<DWORD> status);
  StageState snapshot(double now) const;

 private:
  struct Motion {
    Profile profile;
    double start;
    bool homing;
    WORD completion;  // the message id queued at the end
  };
  struct Polling {
    bool on = false;
    double start = 0.0;
    double interval = 0.0;
    long long lastTick = -1;  // the poll instant last sampled, start + lastTick * interval
  };

  bool takesMotion() const { return enabled_ && !stalledAt_; }
  void moveTo(double now, double targetMm);
  Profile travel(double from, double to, double speed) const;
  void begin(double now, const Profile& profile, bool homing, WORD completion);
  void halt(double now);

  // The true state at time `t` (no earlier than the last change).
  double elapsedInMotion(double t) const;
  bool moving(double t) const;
  bool homed(double t) const;
  double positionAt(double t) const;
  DWORD statusAt(double t) const;

  void pollUpTo(double now);
  void sample(double t);

  bool open_ = false;
  bool enabled_ = false;
  bool homed_ = false;
  bool instantMoves_ = false;
  double restMm_ = kStartPositionMm;  // where the stage stands when there is no motion
  std::optional<Motion> motion_;
  unsigned long long motionsBegun_ = 0;
  std::optional<double> stalledAt_;
  std::optional<DWORD> statusOverride_;
  Polling polling_;
  int sampledPosition_ = 0;
  DWORD sampledStatus_ = 0;
  std::deque<Message> queue_;
  Callback callback_ = nullptr;
  int callbacksRegistered_ = 0;
};

}  // namespace motion_sim::detail
