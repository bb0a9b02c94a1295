// The raster scan: the worker `daq`, run on a pool thread, and its start, stop and end.
#pragma once

#include "gui_runtime.h"
#include "run_state.h"

// The pool that runs the scan, created at start-up.
extern CmtThreadPoolHandle poolHandle;
// Id of the last scheduled scan; nothing reads it.
extern int tfID;
// The worker's function data; nothing reads or writes it.
extern int rID;

// The scan worker: visits every point of the grid typed on the panel, z outermost, then y,
// then x, waiting for each move, and ends early at the first check after a point, a row or
// a plane that finds an end requested (run_state.h). Returns 0.
int daq(void* functionData);
// Called on the pool thread once daq has returned: the scan is over.
void EndOfThread(CmtThreadPoolHandle poolhandle, int functionID, unsigned int event, int value,
                 void* callbackData);
// The event loop's row for the start-scan button.
void ScanStartRow(void);
