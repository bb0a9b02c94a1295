// The simulated rig: the three stages, the call log, the messages' callbacks and the
// library's polling threads, behind one mutex. Every entry into the simulator, from the C
// interface, the test API or a polling thread, is a Session.
#pragma once

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
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

  // The library's polling thread of a stage, as ISC_StartPolling starts one: it sleeps until
  // the poll instant that sees the stage's motion end, then enters the rig, which queues the
  // message and calls the callback, whether or not the program calls the library meanwhile.
  struct Poller {
    std::thread thread;
    bool stop = false;  // under the rig's lock
  };
  using Pollers = std::vector<std::shared_ptr<Poller>>;
  // Starts a polling thread for each stage that polls without one and stops those of stages
  // that no longer poll; shutDown() stops them all for good, at exit. The stopped ones are
  // to be joined by joinStopped(), once the lock is released.
  void syncPollers();
  void shutDown();
  Pollers takeStopped() { return std::move(stopped_); }
  static void joinStopped(const Pollers& pollers);
  std::size_t pollingThreads() const;
  // How many motions the stages have begun; a change wakes the polling threads.
  unsigned long long motionsBegun() const;
  std::condition_variable& motionBegun() { return motionBegun_; }
  const Stage& stageAt(std::size_t axis) const { return stages_[axis]; }

 private:
  void stopPoller(std::size_t axis);

  std::array<Stage, 3> stages_;
  CallLog log_{0};  // counts only, until reset()
  std::vector<Stage::Callback> notifications_;
  std::array<std::shared_ptr<Poller>, 3> pollers_;
  Pollers stopped_;
  std::condition_variable motionBegun_;
  bool shutDown_ = false;
};

// Holds the rig's lock for one entry into the simulator, with the rig brought up to the
// clock's present. On leaving, it finishes the motions that ended on the spot (instant or
// zero-length ones), starts or stops polling threads, wakes them if a motion began, releases
// the lock and only then joins the stopped threads and calls the callbacks of the messages
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
  // For a polling thread: releases the lock until the stage's motion end is due to be seen,
  // a new motion begins or the poller is stopped; then brings now() up to the clock.
  void awaitNotice(std::size_t axis, const Rig::Poller& poller);

 private:
  std::unique_lock<std::mutex> lock_;
  Rig& rig_;
  double now_;
  unsigned long long motionsBegun_;
};

}  // namespace motion_sim::detail
