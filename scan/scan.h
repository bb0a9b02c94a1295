// The raster scan: the worker `daq`, run on a pool thread, and its start, stop and end.
#pragma once

#include "gui_runtime.h"
#include "run_state.h"

// The pool that runs the scan, created at start-up.
extern CmtThreadPoolHandle poolHandle;
// Id of the last scheduled scan, 0 before the first; ScanWaitForEnd waits for it.
extern int tfID;
// The worker's function data; nothing reads or writes it.
extern int rID;

// The scan worker: visits every point of the grid typed on the panel, z outermost, then y,
// then x, waiting for each move, and ends early at the first check after a point, a row or
// a plane that finds an end requested (run_state.h), or at once, without another move, when
// the scan is aborted. Returns 0.
int daq(void* functionData);
// Called on the pool thread once daq has returned: the scan is over.
void EndOfThread(CmtThreadPoolHandle poolhandle, int functionID, unsigned int event, int value,
                 void* callbackData);
// The event loop's row for the start-scan button.
void ScanStartRow(void);
// Any thread: ends a running scan without any further move. Raises the abort request, sends
// every stage the profiled stop and ends the completion wait under way.
void ScanAbort(void);
// The profiled stop to the three stages, X, Y, Z, one right after the other.
void StopAllStages(void);
// Main thread: returns once the last scheduled scan's worker and EndOfThread have returned.
void ScanWaitForEnd(void);
