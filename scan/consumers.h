// The fixed list of what happens to a scan's points: each consumer hears of the scan's
// start, of every visited point, and of the scan's end. A new use of the points is one more
// entry in the list (consumers.cpp), not an edit of the worker's loop.
#pragma once

#include "outcome.h"
#include "scan_point.h"

// Each consumer, in list order.
void ConsumersBegin(const ScanRun& run);
void ConsumePoint(const ScanRun& run, const ScanPoint& point);
void ConsumersEnd(const ScanRun& run, const ScanOutcome& outcome);
