// Scan efficiency on the simulated rig: how close a scan comes to the physical limit of its
// moves and dwells, what the completion polling and everything else add per point, how soon
// "Stop scan" and Abort act, and the cost per point beyond the dwell when moves are instant.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "bench_rig.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "scan.h"
#include "scan_estimate.h"
#include "scan_gate.h"
#include "scan_plan.h"

namespace {

void typeGrid(const Grid& g, int serpentine = 0) {
  SetCtrlVal(p1_h, PANEL_SERPENTINE, serpentine);
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

int points(const Grid& g) { return g.nx * g.ny * g.nz; }

// Points the running or last scan has completed, from its progress.
double pointsDone(const Grid& g) {
  double percent = 0.0;
  GetCtrlVal(p1_h, PANEL_PROGRESS, &percent);
  return std::round(percent / 100.0 * points(g));
}

void stagePositions(double start[3]) {
  for (int axis = 0; axis < 3; axis++) {
    start[axis] = motion_sim::stage(motion_sim::kSerials[axis]).positionMm;
  }
}

std::vector<PlannedMove> planFromHere(const Grid& grid, bool serpentine = false) {
  double start[3];
  stagePositions(start);
  return planMoves(grid, start, serpentine);
}

// The scan's estimate from where the stages stand, as the scan block shows it.
double estimateFromHere(const Grid& g, bool serpentine) {
  ScanPlan plan{{{g.nx, g.ny, g.nz}, {g.x0, g.y0, g.z0}, {g.dx, g.dy, g.dz}, {1, 1, 1}},
                serpentine, false, {0.0, 0.0, 0.0}};
  stagePositions(plan.origin);
  return PlanSeconds(plan);
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

// A grid of nx by ny points with steps of `stepTenths` tenths of a millimetre, run at
// `speed` times real time, in raster or serpentine order. At a sped-up clock the program's own
// costs weigh that many times more in clock time, so the ratio found is an upper bound of the
// one at real time. Serpentine's gain is told against the physical limit of plain raster; the
// estimate shown before the scan is compared with the scan's measured time.
void BM_ScanAgainstPhysicalLimit(benchmark::State& state) {
  const double step = state.range(0) / 10.0;
  const auto nx = static_cast<int>(state.range(1));
  const auto ny = static_cast<int>(state.range(2));
  const auto speed = static_cast<double>(state.range(3));
  const bool serpentine = state.range(4) != 0;
  const Grid grid{nx, ny, 1, 20.0, 20.0, 25.0, step, step, 0.0};
  typeGrid(grid, serpentine ? 1 : 0);
  platform_clock::setSpeed(speed);
  motion_sim::setInstantMoves(false);
  for (auto _ : state) {
    const std::vector<PlannedMove> moves = planFromHere(grid, serpentine);
    const double physical = physicalLimit(moves, points(grid));
    const double rasterLimit = physicalLimit(planFromHere(grid), points(grid));
    const double estimate = estimateFromHere(grid, serpentine);
    const auto [clockTime, realTime] = runScan();
    const double polling = pollingLatency(moves);
    state.SetIterationTime(realTime);
    state.counters["points"] = points(grid);
    state.counters["physical_s"] = physical;
    state.counters["poll_rounded_s"] = pollRoundedTime(moves, points(grid));
    state.counters["measured_s"] = clockTime;
    state.counters["ratio"] = clockTime / physical;
    state.counters["polling_latency_ms_per_move"] = polling / moves.size() * 1e3;
    state.counters["overhead_ms_per_point"] = (clockTime - physical - polling) / points(grid) * 1e3;
    state.counters["raster_limit_s"] = rasterLimit;
    state.counters["gain_vs_raster_limit"] = rasterLimit / clockTime;
    state.counters["estimate_s"] = estimate;
    state.counters["estimate_error_pct"] = (estimate - clockTime) / clockTime * 100.0;
  }
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_ScanAgainstPhysicalLimit)
    ->ArgNames({"step_tenths_mm", "nx", "ny", "speed", "serpentine"})
    ->Args({10, 10, 5, 4, 0})
    ->Args({1, 10, 5, 4, 0})
    ->Args({10, 4, 2, 1, 0})
    ->Args({1, 4, 2, 1, 0})
    ->Args({10, 10, 10, 4, 0})
    ->Args({10, 10, 10, 4, 1})
    ->Args({1, 10, 10, 4, 1})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// "Stop scan" pressed halfway through a point's x move: the scan ends after that point,
// without another move. Reported in clock time at real speed.
void BM_StopScanClickToLastMove(benchmark::State& state) {
  const Grid grid{10, 5, 1, 20.0, 20.0, 25.0, 1.0, 1.0, 0.0};
  typeGrid(grid);
  platform_clock::setSpeed(1.0);
  motion_sim::setInstantMoves(false);
  for (auto _ : state) {
    const std::size_t movesBefore = motion_sim::callCount("ISC_MoveAbsolute");
    ScanStartRow();
    // The fourth x move lasts 0.28 s: wait until it is under way, then press.
    while (motion_sim::callCount("ISC_MoveAbsolute") < movesBefore + 6) {
      platform_clock::sleepFor(0.005);
    }
    platform_clock::sleepFor(0.14);
    const double click = platform_clock::now();
    const double doneAtClick = pointsDone(grid);
    ctrl_c.store(1);  // what the event loop does for the Stop scan button
    CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
    const double end = platform_clock::now();
    const std::vector<double> moves = motion_sim::callTimes("ISC_MoveAbsolute");
    state.SetIterationTime(end - click);
    state.counters["points_after_click"] = pointsDone(grid) - doneAtClick;
    state.counters["moves_after_click"] = static_cast<double>(
        std::count_if(moves.begin(), moves.end(), [&](double t) { return t > click; }));
    state.counters["click_to_last_move_ms"] = (moves.back() - click) * 1e3;
    state.counters["click_to_scan_end_ms"] = (end - click) * 1e3;
  }
}
BENCHMARK(BM_StopScanClickToLastMove)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// Processes the GUI thread's events for `seconds` of clock time.
void processEventsFor(double seconds) {
  const double until = platform_clock::now() + seconds;
  while (platform_clock::now() < until) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    platform_clock::sleepFor(0.001);
  }
}

// The Abort button clicked halfway through a point's x move, its event taken from the queue
// and handled as the event loop does: how soon the three stages get their stop, and whether
// any move follows. Reported in clock time at real speed.
void BM_AbortClickToStops(benchmark::State& state) {
  const Grid grid{10, 5, 1, 20.0, 20.0, 25.0, 1.0, 1.0, 0.0};
  typeGrid(grid);
  platform_clock::setSpeed(1.0);
  motion_sim::setInstantMoves(false);
  auto* abortButton =
      qobject_cast<QAbstractButton*>(runtime_testing::controlWidget(p1_h, PANEL_SCAN_ABORT));
  for (auto _ : state) {
    motion_sim::clearCallLog();
    const std::size_t movesBefore = motion_sim::callCount("ISC_MoveAbsolute");
    ScanStartRow();
    // This thread stands for the event loop, which keeps the panel up to date while it waits.
    while (motion_sim::callCount("ISC_MoveAbsolute") < movesBefore + 6) processEventsFor(0.005);
    processEventsFor(0.14);
    const double click = platform_clock::now();
    abortButton->click();
    int panel = 0;
    int control = 0;
    while (control != PANEL_SCAN_ABORT) GetUserEvent(1, &panel, &control);
    if (ScanRunning() && ScanEffectOf(control) == SCAN_EVENT_ABORTS) ScanAbort();
    CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
    const double end = platform_clock::now();
    const std::vector<double> stops = motion_sim::callTimes("ISC_StopProfiled");
    const std::vector<double> moves = motion_sim::callTimes("ISC_MoveAbsolute");
    if (stops.size() < 3) {
      state.SkipWithError("the abort did not stop all three stages");
      break;
    }
    const double third = stops[2];
    state.SetIterationTime(third - click);
    state.counters["stops"] = static_cast<double>(stops.size());
    state.counters["click_to_first_stop_ms"] = (stops[0] - click) * 1e3;
    state.counters["click_to_third_stop_ms"] = (third - click) * 1e3;
    state.counters["moves_after_click"] = static_cast<double>(
        std::count_if(moves.begin(), moves.end(), [&](double t) { return t > click; }));
    state.counters["click_to_scan_end_ms"] = (end - click) * 1e3;
  }
}
BENCHMARK(BM_AbortClickToStops)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ScanOverheadPerPoint(benchmark::State& state) {
  // The dwell at a hundred times real time is 1 ms of real time per point.
  constexpr double kSpeed = 100.0;
  platform_clock::setSpeed(kSpeed);
  motion_sim::setInstantMoves(true);
  const Grid grid{50, 20, 1, 10.0, 10.0, 10.0, 0.1, 0.1, 0.0};
  typeGrid(grid);
  for (auto _ : state) {
    const double realTime = runScan().second;
    state.SetIterationTime(realTime);
    const double dwell = points(grid) * kPointDwell / kSpeed;
    state.counters["points"] = points(grid);
    state.counters["overhead_per_point_ms"] = (realTime - dwell) / points(grid) * 1e3;
  }
  motion_sim::setInstantMoves(false);
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_ScanOverheadPerPoint)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// A 10 000-point scan (100 x 100, instant moves, the dwell a thousandth of real time) while
// the main thread handles GUI events as the program's event loop does, so that the panel, the
// map included, is redrawn during the scan. Run once as it is and once with --without-map:
// the difference is what the live map costs the scan.
void BM_TenThousandPointScanWithEventLoop(benchmark::State& state) {
  constexpr double kSpeed = 1000.0;
  platform_clock::setSpeed(kSpeed);
  motion_sim::setInstantMoves(true);
  const Grid grid{100, 100, 1, 10.0, 10.0, 10.0, 0.1, 0.1, 0.0};
  typeGrid(grid);
  QTimer wake;  // the loop below looks at the run state at least this often
  wake.start(20);
  for (auto _ : state) {
    const auto realStart = std::chrono::steady_clock::now();
    ScanStartRow();
    while (ScanRunning()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
    const double realTime =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    state.SetIterationTime(realTime);
    const double dwell = points(grid) * kPointDwell / kSpeed;
    state.counters["points"] = points(grid);
    state.counters["overhead_per_point_us"] = (realTime - dwell) / points(grid) * 1e6;
  }
  motion_sim::setInstantMoves(false);
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_TenThousandPointScanWithEventLoop)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartBenchRig(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
