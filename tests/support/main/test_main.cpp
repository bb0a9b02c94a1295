// Main of the tests that use the GUI run-time: starts it on the offscreen platform and
// sends stdout to the standard-I/O window, as the program's start-up does. Each test process
// has a runtime folder of its own, so the program's single-instance lock, taken by every test
// that runs its entry, is not shared by tests running side by side.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>

#include "gui_runtime.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Settings and scan records of tests go to a folder of their own, never the user's.
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
  setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
  static const QTemporaryDir runtimeDir;  // private (0700), as a runtime folder must be
  if (!runtimeDir.isValid()) return 2;
  setenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit().constData(), 1);
  SetStdioPort(0);
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) == 0) return 2;
  return RUN_ALL_TESTS();
}
