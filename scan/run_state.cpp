#include "run_state.h"

std::atomic<int> ctrl_c{SCAN_GO_ON};

namespace {
std::atomic<bool> running{false};
}  // namespace

bool ScanRunning(void) { return running.load(); }

void ScanScheduled(bool scheduled) { running.store(scheduled); }

void ScanStarted(void) {
  running.store(true);
  // An abort raised between scheduling and this start must still end the scan.
  int request = ctrl_c.load();
  while (request != SCAN_ABORT && !ctrl_c.compare_exchange_weak(request, SCAN_GO_ON)) {
  }
}

void ScanEnded(void) { running.store(false); }

void ScanRequestStop(void) {
  // A stop pressed after an abort must not turn it back into an end after the next point.
  int request = ctrl_c.load();
  while (request != SCAN_ABORT && !ctrl_c.compare_exchange_weak(request, SCAN_STOP)) {
  }
}

void ScanRequestAbort(void) { ctrl_c.store(SCAN_ABORT); }

void ScanRequestEnd(ScanRequest reason) {
  // An operator's request stands; the worker's own reason only fills an empty one.
  int none = SCAN_GO_ON;
  ctrl_c.compare_exchange_strong(none, reason);
}

ScanRequest ScanPendingRequest(void) { return static_cast<ScanRequest>(ctrl_c.load()); }

void ScanClearRequest(void) { ctrl_c.store(SCAN_GO_ON); }
