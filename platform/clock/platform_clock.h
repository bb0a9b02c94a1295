// The one clock behind every wait of the program: Sleep, Delay, the panel's timers and the
// simulated stages' motion. It runs at real time; tests may run it uniformly faster so that
// a 10 s watchdog takes milliseconds while the order of events stays the same.
#pragma once

#include <chrono>

namespace platform_clock {

// Clock time in seconds since the process first used the clock. Never decreases, from
// whichever thread it is read.
double now();

// Blocks the calling thread for `seconds` of clock time. Processes no events.
void sleepFor(double seconds);

// Real time that `seconds` of clock time take at the current speed; a time too long to
// represent is given as the longest representable one.
std::chrono::nanoseconds realDuration(double seconds);

// Test-only: clock seconds per real second (1 = real time). Clock time stays continuous
// across a change. Set it before the waits whose length it should govern.
void setSpeed(double factor);

}  // namespace platform_clock
