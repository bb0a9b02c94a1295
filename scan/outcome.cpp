#include "outcome.h"

#include <cstdio>

#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"

namespace {

// Only the worker's thread touches the tally.
ScanOutcome tally{};

const char* endedText(ScanRequest ended) {
  switch (ended) {
    case SCAN_GO_ON: return "finished";
    case SCAN_STOP: return "stopped by the operator";
    case SCAN_RECORD_FAILED: return "ended: its record could not be written";
    case SCAN_ABORT: return "aborted";
  }
  return "ended";
}

std::string timedOutText(std::int64_t points) {
  return std::to_string(points) + (points == 1 ? " point" : " points") + " timed out";
}

}  // namespace

void OutcomeBegin(const ScanRun& run) {
  tally = ScanOutcome{SCAN_GO_ON, 0, run.planned, 0, {0, 0, 0}, -1};
  SetPanelText(p1_h, kTimeoutsLabel, "");
  SetPanelText(p1_h, kOutcomeLabel, "Scan running");
}

void OutcomePoint(const ScanRun&, const ScanPoint& point) {
  tally.done = point.number;
  int axis = 0;
  while (axis < 3 && point.timedOut[axis] == 0) axis++;
  if (axis == 3) return;
  if (tally.timedOutPoints == 0) {
    for (int k = 0; k < 3; k++) tally.firstIndex[k] = point.index[k];
    tally.firstAxis = axis;
  }
  tally.timedOutPoints++;
  SetPanelText(p1_h, kTimeoutsLabel, timedOutText(tally.timedOutPoints).c_str());
}

ScanOutcome CurrentOutcome(ScanRequest ended) {
  ScanOutcome outcome = tally;
  outcome.ended = ended;
  return outcome;
}

std::string OutcomeLine(const ScanOutcome& o) {
  std::string line = std::string("Scan ") + endedText(o.ended) + ": " + std::to_string(o.done) +
                     " of " + std::to_string(o.planned) + " points done, " +
                     timedOutText(o.timedOutPoints);
  if (o.firstAxis >= 0) {
    line += " (first at ix " + std::to_string(o.firstIndex[0]) + ", iy " +
            std::to_string(o.firstIndex[1]) + ", iz " + std::to_string(o.firstIndex[2]) +
            ", axis " + AxisName(o.firstAxis) + ")";
  }
  return line;
}

void OutcomeEnd(const ScanRun&, const ScanOutcome& outcome) {
  const std::string line = OutcomeLine(outcome);
  printf("%s\n", line.c_str());
  SetPanelText(p1_h, kOutcomeLabel, line.c_str());
}
