// Main-thread time of one full refresh of the display: three positions and three status
// words read from the simulated stages, 48 control writes, and the widget update that the
// event loop then runs. A write of the value already shown costs no widget update, so the
// steady display (where the event loop finds nothing to update) and a display where every
// value changed are measured apart.
#include <benchmark/benchmark.h>

#include <cmath>

#include "bench_rig.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "platform_clock.h"
#include "panel_ids.h"
#include "runtime_testing.h"
#include "typed_grid.h"
#include "scan_map_view.h"
#include "status_display.h"

namespace {

void BM_RefreshRow(benchmark::State& state) {
  for (auto _ : state) RefreshDisplay();
}
BENCHMARK(BM_RefreshRow)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// Nothing changed since the last refresh: the event loop's pass finds no widget to update.
// With map 1 the refresh row also shows the typed grid (estimate and map), as the event
// loop's row does.
void BM_RefreshRowAndEventPassNothingChanged(benchmark::State& state) {
  const bool map = state.range(0) != 0;
  int panel = 0;
  int control = 0;
  for (auto _ : state) {
    RefreshDisplay();
    if (map) ShowTypedGrid();
    GetUserEvent(0, &panel, &control);
  }
}
BENCHMARK(BM_RefreshRowAndEventPassNothingChanged)->ArgName("map")->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The same with every value changed since the last refresh: all 48 controls repainted.
void BM_RefreshRowEveryValueChanged(benchmark::State& state) {
  const bool map = state.range(0) != 0;
  platform_clock::setSpeed(1e5);  // a poll of the stages (50 ms) passes between refreshes
  int panel = 0;
  int control = 0;
  bool odd = false;
  for (auto _ : state) {
    state.PauseTiming();
    odd = !odd;
    const double position = odd ? 10.0 : 20.0;
    for (const char* serial : motion_sim::kSerials) {
      motion_sim::setPosition(serial, position);
      motion_sim::overrideStatus(serial, odd ? 0xFFFFFFFFu : 0u);
    }
    Sleep(60);  // clock time: the next read sees the new sample
    state.ResumeTiming();
    RefreshDisplay();
    if (map) ShowTypedGrid();
    GetUserEvent(0, &panel, &control);
    state.PauseTiming();
    double shown = 0.0;
    GetCtrlVal(p1_h, PANEL_POS_X, &shown);
    state.ResumeTiming();
    // A refresh that showed nothing new would measure the steady case under this name.
    if (std::fabs(shown - position) > 1e-3) {
      state.SkipWithError("the refresh did not show the changed position");
      break;
    }
  }
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_RefreshRowEveryValueChanged)->ArgName("map")->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// GUI-thread time of one map draw (and, with paint 1, its paint) of a 50 x 50 plane, the
// largest drawn point by point, whose every point changed outcome: the most one draw costs.
void BM_MapDrawFullPlane(benchmark::State& state) {
  auto* map = qobject_cast<runtime_impl::ScanMap*>(runtime_testing::controlWidget(p1_h, PANEL_SCAN_MAP));
  if (!map) {
    state.SkipWithError("the panel has no scan map");
    return;
  }
  runtime_impl::ScanMapState plane;
  plane.count[0] = plane.count[1] = 50;
  plane.step[0] = plane.step[1] = 0.1;
  plane.planes = 1;
  plane.gridVersion = 1;
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    plane.outcome.assign(2500, odd ? MAP_POINT_DONE : MAP_POINT_TIMED_OUT);
    ++plane.outcomeVersion;
    map->draw(plane);
    if (state.range(0)) map->viewport()->repaint();
  }
}
BENCHMARK(BM_MapDrawFullPlane)->ArgName("paint")->Arg(0)->Arg(1)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartBenchRig(argc, argv)) return 1;
  SetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_ENABLED, 0);  // the refresh timer would add its own refreshes
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
