// Main-thread time of one full refresh of the display: three positions and three status
// words read from the simulated stages, 48 control writes, and the widget update that the
// event loop then runs.
#include <benchmark/benchmark.h>

#include "bench_rig.h"
#include "gui_runtime.h"
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

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!StartBenchRig(argc, argv)) return 1;
  SetCtrlAttribute(p1_h, 88, ATTR_ENABLED, 0);  // the refresh timer would add its own refreshes
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
