#include "completion_wake.h"

#include "platform_clock.h"

namespace {
platform_clock::Alarm wakes;
}  // namespace

unsigned long long completionWakes(void) { return wakes.rings(); }

void sleepUntilWoken(int ms, unsigned long long seen) { wakes.sleepFor(ms / 1000.0, seen); }

void wakeCompletionWait(void) { wakes.ring(); }
