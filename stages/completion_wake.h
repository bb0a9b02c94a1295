// The completion wait's sleep between polls of an empty queue, and what cuts it short: a
// message reported by the stages' callback, or an abort.
#pragma once

// How many wakes there have been. The wait takes it before asking its queue, so that a
// message queued between the question and the sleep still ends the sleep at once.
unsigned long long completionWakes(void);
// Sleeps up to `ms` milliseconds of clock time, less if a wake came after `seen` was taken.
void sleepUntilWoken(int ms, unsigned long long seen);
// Ends the completion wait's sleep under way (and the next one, if none is under way), so
// that the wait asks its queue and tests its flags at once. A wake says nothing of the
// axis: a wait woken for another axis asks its queue and sleeps again.
void wakeCompletionWait(void);
