// How a scan ended and which of its points timed out: kept while it runs, told when it ends.
#pragma once

#include <cstdint>
#include <string>

#include "run_state.h"
#include "scan_point.h"

struct ScanOutcome {
  ScanRequest ended;           // SCAN_GO_ON: the scan ran to its last point
  std::int64_t done;           // points visited
  std::int64_t planned;        // points in the grid
  std::int64_t timedOutPoints; // points where any axis's wait ended on the watchdog
  int firstIndex[3];           // ix, iy, iz of the first such point
  int firstAxis;               // its first timed-out axis, -1 while there is none
};

// Consumer hooks: a new scan clears the tally and the panel's time-out indicator; each point
// is counted, and the indicator shows the count as soon as a point has timed out; at the end
// the outcome line is printed and shown on the panel.
void OutcomeBegin(const ScanRun& run);
void OutcomePoint(const ScanRun& run, const ScanPoint& point);
void OutcomeEnd(const ScanRun& run, const ScanOutcome& outcome);

// The outcome so far, for a scan that ends now because of `ended`.
ScanOutcome CurrentOutcome(ScanRequest ended);
// The one line that tells `outcome`, without a newline.
std::string OutcomeLine(const ScanOutcome& outcome);
