// The one clock behind every wait of the program: Sleep, Delay, the panel's timers and the
// simulated stages' motion. It runs at real time; tests may run it uniformly faster so that
// a 10 s watchdog takes milliseconds while the order of events stays the same.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform_clock {

// Clock time in seconds since the process first used the clock. Never decreases, from
// whichever thread it is read.
double now();

// Blocks the calling thread for `seconds` of clock time. Processes no events.
void sleepFor(double seconds);

// Real time that `seconds` of clock time take at the current speed; a time too long to
// represent is given as the longest representable one.
std::chrono::nanoseconds realDuration(double seconds);

// Waits on `cv` (with `lock` held on entry and on return) until `done()` holds or the clock
// reaches `deadline` (clock seconds; infinity waits for `done()` alone). `done()` is tested
// under the lock first and after every wake-up. Returns done().
template <class Done>
bool waitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, double deadline,
               Done done) {
  // Bounds one real wait, so that the steady clock's deadline inside cannot overflow.
  constexpr std::chrono::nanoseconds kLongestRealWait = std::chrono::hours(1);
  while (!done()) {
    const double left = deadline - now();
    if (!(left > 0.0)) return false;
    cv.wait_for(lock, std::min(realDuration(left), kLongestRealWait));
  }
  return true;
}

// A sleep on the clock that another thread can cut short. Each ring() is counted; a sleep
// ends early once the count differs from the one its caller took, so a ring between taking
// the count and starting to sleep is not lost.
class Alarm {
 public:
  unsigned long long rings() const;
  void ring();
  // Sleeps up to `seconds` of clock time while rings() == `seen`. Returns true when rung.
  bool sleepFor(double seconds, unsigned long long seen);

 private:
  mutable std::mutex mutex_;
  std::condition_variable rung_;
  unsigned long long rings_ = 0;
};

// Test-only: clock seconds per real second (1 = real time). Clock time stays continuous
// across a change. Set it before the waits whose length it should govern.
void setSpeed(double factor);

}  // namespace platform_clock
