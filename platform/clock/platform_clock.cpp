#include "platform_clock.h"

#include <mutex>
#include <thread>

namespace platform_clock {
namespace {

using Steady = std::chrono::steady_clock;

// Clock time is base + (real now - realBase) * speed. A speed change rebases, so clock time
// never jumps.
struct State {
  std::mutex mutex;
  Steady::time_point realBase = Steady::now();
  double base = 0.0;
  double speed = 1.0;
};

State& state() {
  static State s;
  return s;
}

double elapsed(Steady::time_point from, Steady::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

double now() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return s.base + elapsed(s.realBase, Steady::now()) * s.speed;
}

std::chrono::nanoseconds realDuration(double seconds) {
  using std::chrono::nanoseconds;
  if (!(seconds > 0.0)) return nanoseconds(0);
  double speed = 1.0;
  {
    State& s = state();
    std::lock_guard lock(s.mutex);
    speed = s.speed;
  }
  // Beyond about 292 years the nanosecond count would overflow (undefined behaviour).
  const std::chrono::duration<double, std::nano> real(seconds / speed * 1e9);
  if (!(real.count() < static_cast<double>(nanoseconds::max().count()))) return nanoseconds::max();
  return std::chrono::duration_cast<nanoseconds>(real);
}

void sleepFor(double seconds) {
  // Sleep until the clock has advanced by `seconds`; re-checking covers early wake-ups and a
  // slow-down made while sleeping (a speed-up takes effect from the next sleep).
  const double until = now() + seconds;
  for (double left = seconds; left > 0.0; left = until - now()) {
    std::this_thread::sleep_for(realDuration(left));
  }
}

unsigned long long Alarm::rings() const {
  std::lock_guard lock(mutex_);
  return rings_;
}

void Alarm::ring() {
  {
    std::lock_guard lock(mutex_);
    ++rings_;
  }
  rung_.notify_all();
}

bool Alarm::sleepFor(double seconds, unsigned long long seen) {
  std::unique_lock lock(mutex_);
  return waitUntil(rung_, lock, now() + seconds, [&] { return rings_ != seen; });
}

void setSpeed(double factor) {
  if (!(factor > 0.0)) return;
  State& s = state();
  std::lock_guard lock(s.mutex);
  const Steady::time_point real = Steady::now();
  s.base += elapsed(s.realBase, real) * s.speed;
  s.realBase = real;
  s.speed = factor;
}

}  // namespace platform_clock
