// Start-up: InitCVIRTEEx reports whether a GUI can start instead of letting Qt abort. Each
// case runs in its own process under CTest; run together, the cases that start the GUI
// come last.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "runtime_testing.h"

namespace {

struct Case {
  const char* name;
  const char* platform;  // QT_QPA_PLATFORM; null: unset
  const char* display;   // DISPLAY; null: unset
  std::vector<std::string> args;
  bool failInit;
  int result;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

void setEnv(const char* name, const char* value) {
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

class runtimeInit : public testing::TestWithParam<Case> {};

TEST_P(runtimeInit, StartsOnlyWhereAGuiCan) {
  const Case& c = GetParam();
  setEnv("QT_QPA_PLATFORM", c.platform);
  setEnv("DISPLAY", c.display);
  unsetenv("WAYLAND_DISPLAY");
  runtime_testing::failInit(c.failInit);
  std::vector<char*> argv;
  for (const std::string& arg : c.args) argv.push_back(const_cast<char*>(arg.c_str()));
  InstanceData instance{int(argv.size()), argv.data()};

  testing::internal::CaptureStderr();
  EXPECT_EQ(InitCVIRTEEx(c.args.empty() ? nullptr : &instance, nullptr, nullptr), c.result);
  const std::string message = testing::internal::GetCapturedStderr();
  if (c.result == 0 && !c.failInit) {
    EXPECT_NE(message.find("Quarlex: no display"), std::string::npos) << message;
  }
  if (c.result == 1) {
    EXPECT_EQ(InitCVIRTEEx(nullptr, nullptr, nullptr), 1) << "a second call reuses the application";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, runtimeInit,
    testing::Values(Case{"NoPlatformNoDisplay", nullptr, nullptr, {}, false, 0},
                    Case{"EmptyPlatformNoDisplay", "", nullptr, {}, false, 0},
                    Case{"XcbWithoutDisplay", "xcb", nullptr, {}, false, 0},
                    Case{"XcbWithEmptyDisplay", "xcb", "", {}, false, 0},
                    Case{"WaylandWithoutDisplay", "wayland", nullptr, {}, false, 0},
                    Case{"NoUsableFallback", "xcb;wayland-egl", nullptr, {}, false, 0},
                    Case{"ArgumentOverridesEnvironment", "offscreen", nullptr, {"quarlex", "-platform", "xcb"}, false, 0},
                    Case{"FailureForced", "offscreen", nullptr, {}, true, 0},
                    Case{"Offscreen", "offscreen", nullptr, {}, false, 1},
                    Case{"OffscreenFromArgument", nullptr, nullptr, {"quarlex", "-platform", "offscreen"}, false, 1},
                    Case{"FallbackToOffscreen", "xcb;offscreen", nullptr, {"quarlex"}, false, 1}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
