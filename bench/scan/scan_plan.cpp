#include "scan_plan.h"

#include <cmath>
#include <cstddef>
#include <string>

#include "motion_model.h"
#include "motion_sim.h"
#include "scan_estimate.h"
#include "visit_order.h"

namespace {

double sum(const std::vector<PlannedMove>& moves, double (*cost)(double motion)) {
  double total = 0.0;
  for (const PlannedMove& move : moves) total += cost(move.motion);
  return total;
}

// When the last polling start of the stage before `t` began, and its interval.
struct Polling {
  double start = 0.0;
  double interval = 0.0;
};

Polling pollingAt(const std::string& serial, double t) {
  const std::vector<motion_sim::Call> starts = motion_sim::calls("ISC_StartPolling");
  const std::vector<double> times = motion_sim::callTimes("ISC_StartPolling");
  Polling polling;
  for (std::size_t i = 0; i < starts.size() && times[i] <= t; i++) {
    if (starts[i].serial == serial) polling = {times[i], starts[i].args.at(0) / 1000.0};
  }
  return polling;
}

}  // namespace

std::vector<PlannedMove> planMoves(const Grid& g, const double start[3], bool serpentine) {
  double pos[3] = {start[0], start[1], start[2]};
  std::vector<PlannedMove> moves;
  auto move = [&](int axis, double to) {
    moves.push_back({axis, pos[axis], to, MoveSeconds(pos[axis], to)});
    pos[axis] = to;
  };
  const ScanGrid grid{{g.nx, g.ny, g.nz}, {g.x0, g.y0, g.z0}, {g.dx, g.dy, g.dz}, {1, 1, 1}};
  for (int iz = 0; iz < g.nz; iz++) {
    move(2, g.z0 + iz * g.dz);
    for (int iy = 0; iy < g.ny; iy++) {
      move(1, g.y0 + iy * g.dy);
      for (int step = 0; step < g.nx; step++) {
        move(0, g.x0 + VisitedX(grid, iz * g.ny + iy, step, serpentine) * g.dx);
      }
    }
  }
  return moves;
}

double physicalLimit(const std::vector<PlannedMove>& moves, int points) {
  return sum(moves, [](double motion) { return motion; }) + points * kPointDwell;
}

double pollRoundedTime(const std::vector<PlannedMove>& moves, int points) {
  return sum(moves, [](double motion) { return std::ceil(motion / kWaitPoll - 1e-9) * kWaitPoll; }) +
         points * kPointDwell;
}

double pollingLatency(const std::vector<PlannedMove>& moves) {
  const std::vector<motion_sim::Call> calls = motion_sim::calls("ISC_MoveAbsolute");
  const std::vector<double> times = motion_sim::callTimes("ISC_MoveAbsolute");
  const std::size_t first = calls.size() - moves.size();
  double latency = 0.0;
  for (std::size_t i = 0; i < moves.size(); i++) {
    if (moves[i].motion <= 0.0) continue;  // ends within its own call
    const double end = times[first + i] + moves[i].motion;
    const Polling polling = pollingAt(calls[first + i].serial, end);
    if (polling.interval <= 0.0) continue;
    const double seen =
        polling.start + std::ceil((end - polling.start) / polling.interval) * polling.interval;
    latency += std::max(0.0, seen - end);
  }
  return latency;
}
