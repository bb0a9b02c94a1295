// Main-thread time of one full refresh of the display: three positions and three status
// words read from the simulated stages, 48 control writes, and the widget update that the
// event loop then runs. A write of the value already shown costs no widget update, so the
// steady display and a display where every value changed are measured apart.
#include <benchmark/benchmark.h>

#include "bench_rig.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "platform_clock.h"
#include "panel_ids.h"
#include "status_display.h"

namespace {

void BM_RefreshRow(benchmark::State& state) {
  for (auto _ : state) RefreshDisplay();
}
BENCHMARK(BM_RefreshRow)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_RefreshRowAndWidgetUpdate(benchmark::State& state) {
  int panel = 0;
  int control = 0;
  for (auto _ : state) {
    RefreshDisplay();
    GetUserEvent(0, &panel, &control);  // processes the posted widget update
  }
}
BENCHMARK(BM_RefreshRowAndWidgetUpdate)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

// The same with every value changed since the last refresh: all 48 controls repainted.
void BM_RefreshRowEveryValueChanged(benchmark::State& state) {
  platform_clock::setSpeed(1e5);  // a poll of the stages (50 ms) passes between refreshes
  int panel = 0;
  int control = 0;
  bool odd = false;
  for (auto _ : state) {
    state.PauseTiming();
    odd = !odd;
    for (const char* serial : motion_sim::kSerials) {
      motion_sim::setPosition(serial, odd ? 10.0 : 20.0);
      motion_sim::overrideStatus(serial, odd ? 0xFFFFFFFFu : 0u);
    }
    Sleep(60);  // clock time: the next read sees the new sample
    state.ResumeTiming();
    RefreshDisplay();
    GetUserEvent(0, &panel, &control);
  }
  platform_clock::setSpeed(1.0);
}
BENCHMARK(BM_RefreshRowEveryValueChanged)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartBenchRig(argc, argv)) return 1;
  SetCtrlAttribute(p1_h, PANEL_REFRESH, ATTR_ENABLED, 0);  // the refresh timer would add its own refreshes
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
