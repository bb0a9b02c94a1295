// Start-up of the GUI application.
#include <QApplication>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "runtime_testing.h"

namespace {

std::atomic<bool> initFails{false};

// The command line the application is given. QApplication keeps references to argc and
// argv for its whole life, so they are copied into storage that is never freed.
struct CommandLine {
  explicit CommandLine(HINSTANCE instance) {
    if (instance && instance->argc > 0 && instance->argv) {
      args.assign(instance->argv, instance->argv + instance->argc);
    } else {
      args.emplace_back("quarlex");
    }
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    argc = int(args.size());
  }
  std::vector<std::string> args;
  std::vector<char*> argv;
  int argc = 0;
};

bool nonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// The platform plugins Qt would try: from -platform on the command line, else from
// QT_QPA_PLATFORM; a ';'-separated list of fallbacks.
std::string requestedPlatforms(const CommandLine& line) {
  for (std::size_t i = 1; i + 1 < line.args.size(); ++i) {
    if (line.args[i] == "-platform" || line.args[i] == "--platform") return line.args[i + 1];
  }
  const char* env = std::getenv("QT_QPA_PLATFORM");
  return env ? env : "";
}

// Qt aborts the process when the platform it is given cannot reach a display; this tells
// beforehand whether one of the requested platforms can start.
bool platformCanStart(std::string_view platforms) {
  const bool x11 = nonEmptyEnv("DISPLAY");
  const bool wayland = nonEmptyEnv("WAYLAND_DISPLAY");
#ifdef _WIN32
  // Windows' own platform plugin always has the desktop to draw on.
  if (platforms.empty()) return true;
#else
  if (platforms.empty()) return x11 || wayland;
#endif
  while (!platforms.empty()) {
    const std::string_view entry = platforms.substr(0, platforms.find(';'));
    platforms.remove_prefix(std::min(platforms.size(), entry.size() + 1));
    const std::string_view name = entry.substr(0, entry.find(':'));  // options follow a ':'
    if (name == "xcb" ? x11 : name.starts_with("wayland") ? wayland : !name.empty()) return true;
  }
  return false;
}

}  // namespace

int SetSleepPolicy(int) { return 0; }

int InitCVIRTEEx(HINSTANCE hInstance, void*, void*) {
  if (initFails.load()) return 0;
  if (QCoreApplication::instance()) return 1;
  static CommandLine* line = nullptr;
  if (!line) line = new CommandLine(hInstance);
  if (!platformCanStart(requestedPlatforms(*line))) {
    std::fprintf(stderr,
                 "Quarlex: no display to show the panels on: set DISPLAY or WAYLAND_DISPLAY, or "
                 "QT_QPA_PLATFORM=offscreen\n");
    return 0;
  }
  // Never destroyed: the process ends with it.
  new QApplication(line->argc, line->argv.data());
  runtime_impl::gui_thread::attach();
  return 1;
}

void runtime_testing::failInit(bool fail) { initFails.store(fail); }
