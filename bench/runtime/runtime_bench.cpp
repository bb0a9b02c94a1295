// The GUI run-time's hot paths: a user event crossing from a worker thread to the main
// thread's GetUserEvent, and storing and reading a control value.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "gui_runtime.h"

const PanelCallback panelCallbackTable[] = {{nullptr, nullptr}};

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQuit = 1;
constexpr int kPosition = 2;
constexpr char kForm[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <widget class="QWidget" name="BenchPanel">
  <property name="panelId" stdset="0"><number>1</number></property>
  <property name="closeCtrl" stdset="0"><number>1</number></property>
  <layout class="QVBoxLayout" name="layout">
   <item><widget class="QPushButton" name="quit"><property name="ctrlId" stdset="0"><number>1</number></property></widget></item>
   <item><widget class="QDoubleSpinBox" name="position"><property name="ctrlId" stdset="0"><number>2</number></property></widget></item>
  </layout>
 </widget>
</ui>
)";

// From a worker thread's QueueUserEvent to the main thread's GetUserEvent returning it. The
// worker waits a little before queuing, so that the main thread is asleep in its wait.
void BM_UserEventLatency(benchmark::State& state) {
  std::mutex mutex;
  std::condition_variable wake;
  int requested = 0;
  bool quit = false;
  std::atomic<Clock::time_point> queuedAt{};
  std::thread sender([&] {
    std::unique_lock lock(mutex);
    for (int served = 0;; ++served) {
      wake.wait(lock, [&] { return quit || requested > served; });
      if (quit) return;
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      queuedAt.store(Clock::now());
      QueueUserEvent(EVENT_COMMIT, 1, kQuit);
      lock.lock();
    }
  });
  std::vector<double> latencies;
  for (auto _ : state) {
    {
      std::lock_guard lock(mutex);
      ++requested;
    }
    wake.notify_one();
    GetUserEvent(1, nullptr, nullptr);
    const double latency = std::chrono::duration<double>(Clock::now() - queuedAt.load()).count();
    state.SetIterationTime(latency);
    latencies.push_back(latency);
  }
  {
    std::lock_guard lock(mutex);
    quit = true;
  }
  wake.notify_one();
  sender.join();
  std::nth_element(latencies.begin(), latencies.begin() + latencies.size() / 2, latencies.end());
  state.counters["median_us"] = latencies[latencies.size() / 2] * 1e6;
}
BENCHMARK(BM_UserEventLatency)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_SetAndGetCtrlVal(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath("bench.ui");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(kForm) < 0) {
    state.SkipWithError("cannot write the panel file");
    return;
  }
  file.close();
  const int panel = LoadPanel(0, path.toLocal8Bit().constData(), 1);
  if (panel <= 0) {
    state.SkipWithError("cannot load the panel");
    return;
  }
  double value = 0.0;
  for (auto _ : state) {
    SetCtrlVal(panel, kPosition, value + 1.0);
    GetCtrlVal(panel, kPosition, &value);
    benchmark::DoNotOptimize(value);
  }
  DiscardPanel(panel);
}
BENCHMARK(BM_SetAndGetCtrlVal)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) != 1) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
