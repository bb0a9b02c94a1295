// The simulated rig: the three stages, the call log and the messages' callbacks, behind one
// mutex. Every entry into the simulator, from the C interface or the test API, is a Session.
#pragma once

#include <array>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/call_log.h"
#include "sim/stage.h"

namespace motion_sim::detail {

class Rig {
 public:
  // Index (0 X, 1 Y, 2 Z) of the stage with this serial number; none for a null pointer.
  static std::optional<std::size_t> axisOf(const char* serial);
  // The stage with this serial number, or null.
  Stage* find(const char* serial);
  CallLog& log() { return log_; }
  void setInstantMoves(bool on);
  void reset();

  // Finishes, in the order of their end times, the motions that ended by `now`.
  void advance(double now);
  // Callbacks to call once the lock is released, one per message queued.
  void notify(Stage::Callback callback);
  std::vector<Stage::Callback> takeNotifications();

 private:
  std::array<Stage, 3> stages_;
  CallLog log_{0};  // counts only, until reset()
  std::vector<Stage::Callback> notifications_;
};

// Holds the rig's lock for one entry into the simulator, with the rig brought up to the
// clock's present. On leaving, it finishes the motions that ended on the spot (instant or
// zero-length ones), releases the lock and only then calls the callbacks of the messages
// queued meanwhile, so that a callback may call back into the library.
class Session {
 public:
  Session();
  // The same, for a call of the C interface: logs it first.
  Session(const char* function, const char* serial, std::initializer_list<long long> args = {},
          std::optional<double> real = std::nullopt);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Rig& rig() { return rig_; }
  double now() const { return now_; }
  Stage* stage(const char* serial) { return rig_.find(serial); }

 private:
  std::unique_lock<std::mutex> lock_;
  Rig& rig_;
  double now_;
};

}  // namespace motion_sim::detail
