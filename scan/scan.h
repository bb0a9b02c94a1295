// The raster scan: the worker `daq`, run on a pool thread, and its start, stop and end.
#pragma once

#include <atomic>

#include "gui_runtime.h"

// Stop request: set by the event loop when stop-scan is pressed, cleared by the worker when
// it starts and by EndOfThread. Shared between the main and the pool thread.
extern std::atomic<int> ctrl_c;
// The pool that runs the scan, created at start-up.
extern CmtThreadPoolHandle poolHandle;
// Abort request: raised by ScanAbort, lowered when the next scan is scheduled. While it is
// raised the worker starts no further move and ends at once.
extern std::atomic<int> scanAbort;
// Id of the last scheduled scan, 0 before the first; ScanWaitForEnd waits for it.
extern int tfID;
// The worker's function data; nothing reads or writes it.
extern int rID;

// The scan worker: visits every point of the grid typed on the panel, z outermost, then y,
// then x, waiting for each move, and ends early when ctrl_c is raised, or at once, without
// another move, when scanAbort is raised. Returns 0.
int daq(void* functionData);
// Called on the pool thread once daq has returned: the scan is over.
void EndOfThread(CmtThreadPoolHandle poolhandle, int functionID, unsigned int event, int value,
                 void* callbackData);
// The event loop's row for the start-scan button.
void ScanStartRow(void);
// Any thread: ends a running scan without any further move. Raises the stop and abort
// requests, ends the completion wait under way and sends every stage the profiled stop.
void ScanAbort(void);
// Main thread: returns once the last scheduled scan's worker and EndOfThread have returned.
void ScanWaitForEnd(void);
