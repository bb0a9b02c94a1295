// Run by runtimeStdio.LinesReachTheRealStdoutAndTheLogInOrder: prints numbered lines from
// two threads with stdout captured, then reports, as its last line and exit code, whether
// the collected log holds them all in order. The test reads what reached the real stdout.
#include <cstdio>
#include <thread>

#include "gui_runtime.h"
#include "line_order.h"
#include "runtime_testing.h"

int main() {
  if (SetStdioPort(0) != 0) return 2;
  constexpr int kLines = 2000;
  const auto print = [](char letter) {
    for (int i = 0; i < kLines; ++i) std::printf("%c %d\n", letter, i);
  };
  std::thread a(print, 'a');
  std::thread b(print, 'b');
  a.join();
  b.join();
  runtime_testing::stdioSync();
  const std::string fault = checkNumberedLines(runtime_testing::stdioLines(), "ab", kLines);
  std::printf("log: %s\n", fault.empty() ? "complete" : fault.c_str());
  return fault.empty() ? 0 : 1;
}
