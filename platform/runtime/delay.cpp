// Waits in platform-clock time; they process no events.
#include "gui_runtime.h"
#include "platform_clock.h"

void Sleep(unsigned long milliseconds) { platform_clock::sleepFor(double(milliseconds) / 1000.0); }

void Delay(double seconds) { platform_clock::sleepFor(seconds); }
