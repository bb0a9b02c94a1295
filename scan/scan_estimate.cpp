#include "scan_estimate.h"

namespace {

double position(const ScanGrid& g, int axis, int index) { return g.start[axis] + index * g.step[axis]; }

// The x index of the scan's last point.
int lastX(const ScanPlan& plan) {
  const ScanGrid& g = plan.grid;
  const std::int64_t rows = static_cast<std::int64_t>(g.count[1]) * g.count[2];
  const bool backwards = plan.serpentine && (rows - 1) % 2 == 1;
  return backwards ? 0 : g.count[0] - 1;
}

}  // namespace

double WaitedMoveSeconds(double from, double to, const MotionLimits& limits) {
  if (from == to) return 0.0;
  return MoveSeconds(from, to, limits) + kCompletionLatency;
}

double PlanSeconds(const ScanPlan& plan, const MotionLimits& limits) {
  const ScanGrid& g = plan.grid;
  const std::int64_t points = GridPoints(g);
  if (points == 0) return 0.0;
  auto move = [&](double from, double to) { return WaitedMoveSeconds(from, to, limits); };
  const int nx = g.count[0], ny = g.count[1], nz = g.count[2];
  const double rows = static_cast<double>(ny) * nz;
  const int last[3] = {lastX(plan), ny - 1, nz - 1};
  double first[3], end[3];
  for (int k = 0; k < 3; k++) {
    first[k] = position(g, k, 0);
    end[k] = position(g, k, last[k]);
  }

  double seconds = points * kPointDwell;
  for (int k = 0; k < 3; k++) seconds += move(plan.origin[k], first[k]);
  // Steps inside a row, a plane and the scan.
  seconds += (nx - 1) * rows * move(0.0, g.step[0]);
  seconds += (ny - 1) * static_cast<double>(nz) * move(0.0, g.step[1]);
  seconds += (nz - 1) * move(0.0, g.step[2]);
  // Back to the start of the next row and plane; a serpentine row starts where the last ended.
  if (!plan.serpentine) seconds += (rows - 1) * move(position(g, 0, nx - 1), first[0]);
  seconds += (nz - 1) * move(end[1], first[1]);
  if (plan.returnToStart) {
    for (int k = 0; k < 3; k++) seconds += move(end[k], plan.origin[k]);
  }
  return seconds;
}
