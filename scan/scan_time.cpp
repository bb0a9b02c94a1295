#include "scan_time.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui_runtime.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "scan_estimate.h"

namespace {

// Only the worker's thread touches these while a scan runs.
struct Progress {
  double modelTotal = 0.0;
  double modelDone = 0.0;
  double last[3] = {0.0, 0.0, 0.0};  // mm, the targets of the previous point
} progress;

ScanPlan planOf(const ScanGrid& grid, const ScanOptions& options, const double origin[3]) {
  return {grid, options.serpentine, options.returnToStart, {origin[0], origin[1], origin[2]}};
}

std::string pointsText(std::int64_t points) {
  return std::to_string(points) + (points == 1 ? " point" : " points");
}

}  // namespace

std::string ClockText(double seconds) {
  const auto total = static_cast<long long>(std::llround(std::max(0.0, seconds)));
  char text[32];
  if (total >= 3600) {
    snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
  } else {
    snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
  }
  return text;
}

double RemainingSeconds(double modelTotal, double modelDone, double elapsed, std::int64_t done,
                        std::int64_t planned) {
  const double modelLeft = std::max(0.0, modelTotal - modelDone);
  if (done <= 0) return modelLeft;
  const double excessPerPoint = (elapsed - modelDone) / static_cast<double>(done);
  return std::max(0.0, modelLeft + excessPerPoint * static_cast<double>(planned - done));
}

void ShowScanEstimate(const ScanGrid& grid, const double shownPositions[3]) {
  const std::int64_t points = GridPoints(grid);
  std::string text = pointsText(points);
  if (points > 0) {
    text += ", about " + ClockText(PlanSeconds(planOf(grid, ReadScanOptions(), shownPositions)));
  }
  SetPanelText(p1_h, kEstimateLabel, text.c_str());
}

void TimeBegin(const ScanRun& run) {
  progress = Progress{};
  progress.modelTotal = PlanSeconds(planOf(run.grid, run.options, run.origin));
  std::copy(run.origin, run.origin + 3, progress.last);
  SetPanelText(p1_h, kScanTimeLabel, ("0 / " + std::to_string(run.planned) + " points").c_str());
}

void TimePoint(const ScanRun& run, const ScanPoint& point) {
  // Moves that did not happen for this point have the previous target and count nothing.
  for (int k = 0; k < 3; k++) {
    progress.modelDone += WaitedMoveSeconds(progress.last[k], point.target[k]);
    progress.last[k] = point.target[k];
  }
  progress.modelDone += kPointDwell;
  const double remaining = RemainingSeconds(progress.modelTotal, progress.modelDone,
                                            point.seconds, point.number, run.planned);
  const std::string text = std::to_string(point.number) + " / " + std::to_string(run.planned) +
                           " points, elapsed " + ClockText(point.seconds) + ", remaining " +
                           ClockText(remaining);
  SetPanelText(p1_h, kScanTimeLabel, text.c_str());
}

void TimeEnd(const ScanRun& run, const ScanOutcome& outcome) {
  const double took = platform_clock::now() - run.startSeconds;
  const std::string text = std::to_string(outcome.done) + " / " + std::to_string(run.planned) +
                           " points in " + ClockText(took);
  SetPanelText(p1_h, kScanTimeLabel, text.c_str());
}
