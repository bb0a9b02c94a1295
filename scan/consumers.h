// The fixed list of what happens to each visited point once it is measured. A new use of
// the points is one more entry in kPointConsumers (consumers.cpp), not an edit of the loop.
#pragma once

#include "scan_point.h"

// Hands `point` to every consumer, in order.
void ConsumePoint(const ScanRun& run, const ScanPoint& point);

// The consumers.
// The position and status display and the progress indicator, as the event loop's refresh.
void ShowPoint(const ScanRun& run, const ScanPoint& point);
