// Main of the tests that use the GUI run-time: starts it on the offscreen platform and
// sends stdout to the standard-I/O window, as the program's start-up does.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gui_runtime.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  SetStdioPort(0);
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) == 0) return 2;
  return RUN_ALL_TESTS();
}
