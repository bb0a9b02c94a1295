#pragma once

// Called on the main thread right after each watchdog tick, when set.
extern void (*afterWatchdogTick)();
