// Scan efficiency on the simulated rig: how close a scan comes to the time its moves,
// polls and dwells require, and the cost per point beyond the dwell when moves are instant.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>

#include "bench_rig.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "scan.h"
#include "sim/profile.h"

namespace {

constexpr double kPoll = 0.25;   // the completion wait's poll of an empty queue
constexpr double kDwell = 0.1;   // per point

struct Grid {
  int nx, ny, nz;
  double x0, y0, z0, dx, dy, dz;
};

void typeGrid(const Grid& g) {
  SetCtrlVal(p1_h, PANEL_NX, g.nx);
  SetCtrlVal(p1_h, PANEL_NY, g.ny);
  SetCtrlVal(p1_h, PANEL_NZ, g.nz);
  SetCtrlVal(p1_h, PANEL_X0, g.x0);
  SetCtrlVal(p1_h, PANEL_Y0, g.y0);
  SetCtrlVal(p1_h, PANEL_Z0, g.z0);
  SetCtrlVal(p1_h, PANEL_DX, g.dx);
  SetCtrlVal(p1_h, PANEL_DY, g.dy);
  SetCtrlVal(p1_h, PANEL_DZ, g.dz);
  for (int box : {PANEL_CBX, PANEL_CBY, PANEL_CBZ}) SetCtrlVal(p1_h, box, 1);
}

// Time a waited move needs: its motion, rounded up to the poll that sees its message.
double waitedMove(double from, double to) {
  const double motion = motion_sim::detail::Profile::move(from, to, motion_sim::kMaxVelocity,
                                                          motion_sim::kAcceleration)
                            .duration();
  return std::ceil(motion / kPoll - 1e-9) * kPoll;
}

// What the scan must take at the least: every move waited for, plus the dwells.
double requiredTime(const Grid& g, const double start[3]) {
  double pos[3] = {start[0], start[1], start[2]};
  double total = 0.0;
  auto move = [&](int axis, double to) {
    total += waitedMove(pos[axis], to);
    pos[axis] = to;
  };
  for (int iz = 0; iz < g.nz; iz++) {
    move(2, g.z0 + iz * g.dz);
    for (int iy = 0; iy < g.ny; iy++) {
      move(1, g.y0 + iy * g.dy);
      for (int ix = 0; ix < g.nx; ix++) {
        move(0, g.x0 + ix * g.dx);
        total += kDwell;
      }
    }
  }
  return total;
}

// Runs one scan from the start row to its end; returns its clock and real durations.
std::pair<double, double> runScan() {
  const double clockStart = platform_clock::now();
  const auto realStart = std::chrono::steady_clock::now();
  ScanStartRow();
  CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
  return {platform_clock::now() - clockStart,
          std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count()};
}

void BM_ScanEfficiency(benchmark::State& state) {
  // Four times real time: overheads weigh four times as much in clock time as they would
  // at real speed, so the ratio found here is an upper bound.
  platform_clock::setSpeed(4.0);
  motion_sim::setInstantMoves(false);
  const Grid grid{10, 5, 1, 20.0, 20.0, 25.0, 1.0, 2.0, 0.0};
  typeGrid(grid);
  for (auto _ : state) {
    double start[3];
    for (int axis = 0; axis < 3; axis++) start[axis] = motion_sim::stage(motion_sim::kSerials[axis]).positionMm;
    const double required = requiredTime(grid, start);
    const auto [clockTime, realTime] = runScan();
    state.SetIterationTime(realTime);
    state.counters["points"] = grid.nx * grid.ny * grid.nz;
    state.counters["required_s"] = required;
    state.counters["measured_s"] = clockTime;
    state.counters["ratio"] = clockTime / required;
  }
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_ScanEfficiency)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_ScanOverheadPerPoint(benchmark::State& state) {
  // The dwell at a hundred times real time is 1 ms of real time per point.
  constexpr double kSpeed = 100.0;
  platform_clock::setSpeed(kSpeed);
  motion_sim::setInstantMoves(true);
  const Grid grid{50, 20, 1, 10.0, 10.0, 10.0, 0.1, 0.1, 0.0};
  typeGrid(grid);
  const int points = grid.nx * grid.ny * grid.nz;
  for (auto _ : state) {
    const double realTime = runScan().second;
    state.SetIterationTime(realTime);
    const double dwell = points * kDwell / kSpeed;
    state.counters["points"] = points;
    state.counters["overhead_per_point_ms"] = (realTime - dwell) / points * 1e3;
  }
  motion_sim::setInstantMoves(false);
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_ScanOverheadPerPoint)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartBenchRig(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
