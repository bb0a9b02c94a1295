// The scan's run state, kept in one place: whether a scan runs, and what has been asked of
// it. The event loop, the refresh timer, the start row, the worker and its end callback all
// go through these functions; nothing else reads an indicator to learn whether a scan runs.
#pragma once

#include <atomic>

// What the running scan has been asked to do, held in ctrl_c. A new way to end a scan is
// one more value here and one more case of ScanEndReason.
enum ScanRequest {
  SCAN_GO_ON = 0,
  SCAN_STOP = 1,         // the operator pressed stop-scan: end after the point under way
  SCAN_RECORD_FAILED = 2, // the record file could not be written: end after this point
  SCAN_ABORT = 3          // abort: end at once, with no further move
};

// The request: set by the event loop (stop-scan, even while no scan runs) or by the worker
// itself; cleared when a worker starts and by its end callback. Shared between threads.
extern std::atomic<int> ctrl_c;

// True from the moment a scan is scheduled until its end callback has run.
bool ScanRunning(void);
// The start row has scheduled a worker (true) or failed to (false).
void ScanScheduled(bool scheduled);
// The worker has started: a stop raised before now is dropped; an abort stands.
void ScanStarted(void);
// The end callback: the scan is over.
void ScanEnded(void);

// Asks the running scan to end after the point under way; the stop-scan button's effect.
// An abort already asked for stands.
void ScanRequestStop(void);
// Asks the running scan to end at once; it overrides any other request.
void ScanRequestAbort(void);
// Asks from within the worker that the scan end after the current point, for `reason`.
void ScanRequestEnd(ScanRequest reason);
// What has been asked of the scan now; SCAN_GO_ON while nothing has.
ScanRequest ScanPendingRequest(void);
// Drops any request.
void ScanClearRequest(void);
