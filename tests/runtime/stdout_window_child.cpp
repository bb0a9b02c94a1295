// Run by StdoutWindowTest with its stdout set up to fail: prints more than two pipes hold
// from the GUI thread, then exits 0 only if every line reached both the collected log and
// the standard-I/O window. A print that blocked would keep it from getting there at all.
#include <QCoreApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "runtime_testing.h"

int main(int argc, char** argv) {
  if (SetStdioPort(0) != 0) return 2;
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) == 0) return 2;
  constexpr int kLines = 5000;  // about 500 KB
  std::vector<std::string> expected;
  for (int i = 0; i < kLines; i++) {
    expected.push_back("line " + std::to_string(i) + " " + std::string(90, 'x'));
    std::printf("%s\n", expected.back().c_str());
  }
  runtime_testing::stdioSync();
  if (runtime_testing::stdioLines() != expected) return 3;
  auto* window = qobject_cast<QPlainTextEdit*>(runtime_testing::stdioWindow());
  if (!window) return 4;
  QStringList wanted;
  for (const std::string& line : expected) wanted.append(QString::fromStdString(line));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents();
    if (window->toPlainText().split(u'\n') == wanted) return 0;
  }
  return 5;
}
