// Time in the scan block: before a scan, the typed grid's points and estimated duration;
// during a scan, points done of planned, elapsed and remaining time.
#pragma once

#include <cstdint>
#include <string>

#include "outcome.h"
#include "scan_point.h"

// Main thread, on each refresh while no scan runs: shows the typed grid's points and its
// estimated duration with the typed options, starting where the stages are shown (mm).
void ShowScanEstimate(const ScanGrid& grid, const double shownPositions[3]);

// Consumer hooks: the model's time for the whole scan is worked out at the start; after each
// point the labels show the points done, the elapsed and the remaining time; at the end, the
// points done and the time the scan took.
void TimeBegin(const ScanRun& run);
void TimePoint(const ScanRun& run, const ScanPoint& point);
void TimeEnd(const ScanRun& run, const ScanOutcome& outcome);

// Seconds left once `done` of `planned` points took `elapsed` seconds, where the model gives
// `modelTotal` for the whole scan and `modelDone` for the points done: the model's time for
// the rest, plus for every point left the mean by which the points done exceeded the model.
double RemainingSeconds(double modelTotal, double modelDone, double elapsed, std::int64_t done,
                        std::int64_t planned);
// A duration as m:ss, or h:mm:ss from an hour on, rounded to the second.
std::string ClockText(double seconds);
