// The program's entry and event loop on the simulated rig, at real time: how soon start-up
// reaches the connect decision, how soon a commit event reaches its dispatch row, and how
// much CPU the idle panel takes with its refresh timer running.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"

namespace {

double startedAt = 0.0;  // clock time when main() began

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_StartupToConnectDecision(benchmark::State& state) {
  for (auto _ : state) {
    // The connect sequence begins with the device list: everything before it is start-up.
    const std::vector<double> built = motion_sim::callTimes("TLI_BuildDeviceList");
    const double seconds = built.empty() ? 0.0 : built.front() - startedAt;
    state.SetIterationTime(seconds);
    state.counters["startup_ms"] = seconds * 1e3;
  }
}
BENCHMARK(BM_StartupToConnectDecision)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CommitToDispatchRow(benchmark::State& state) {
  std::vector<double> latencies;
  for (auto _ : state) {
    motion_sim::clearCallLog();
    const double queued = platform_clock::now();
    QueueUserEvent(EVENT_COMMIT, p1_h, PANEL_STOP_X);  // what a click on STOP X queues
    std::vector<double> reached;
    while ((reached = motion_sim::callTimes("ISC_StopProfiled")).empty()) std::this_thread::yield();
    const double latency = reached.front() - queued;
    latencies.push_back(latency);
    state.SetIterationTime(latency);
    // Let the loop finish the row and its 1 ms pause before the next press.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  state.counters["median_ms"] = median(latencies) * 1e3;
  state.counters["max_ms"] = *std::max_element(latencies.begin(), latencies.end()) * 1e3;
}
BENCHMARK(BM_CommitToDispatchRow)->Iterations(300)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_IdleCpuWithRefreshTimer(benchmark::State& state) {
  for (auto _ : state) {
    const double cpuBefore = processCpuSeconds();
    const auto realBefore = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - realBefore).count();
    const double cpu = processCpuSeconds() - cpuBefore;
    state.SetIterationTime(real);
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / real;
  }
}
BENCHMARK(BM_IdleCpuWithRefreshTimer)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  startedAt = platform_clock::now();
  motion_sim::reset();  // turns on the simulator's call log, which the benchmarks read
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  // The benchmarks act as the operator from a second thread while the entry runs the loop
  // on this one.
  std::thread bench([] {
    while (motion_sim::calls("ISC_RegisterMessageCallback").size() < 3) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the loop is waiting
    benchmark::RunSpecifiedBenchmarks();
    QueueUserEvent(EVENT_COMMIT, p1_h, PANEL_QUIT);
  });
  static InstanceData instance{argc, argv};
  const int result = WinMain(&instance, nullptr, nullptr, 1);
  bench.join();
  benchmark::Shutdown();
  return result;
}
