#include "bench_rig.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "scan.h"

bool StartBenchRig(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Settings and the scans' record files go to a folder of the run's own, never the user's.
  static QTemporaryDir home;
  setenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit().constData(), 1);
  setenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit().constData(), 1);
  CmtNewThreadPool(10, &poolHandle);
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) == 0) {
    fprintf(stderr, "no GUI run-time\n");
    return false;
  }
  p1_h = LoadPanel(0, "Quarlex_ui.uir", PANEL);
  if (p1_h < 0) return false;
  DisplayPanel(p1_h);
  motion_sim::reset();
  // The connection's fixed sleeps are not what is measured here.
  platform_clock::setSpeed(1000.0);
  const bool connected = LTS_Open() == 0;
  platform_clock::setSpeed(1.0);
  for (int axis = 0; axis < 3; axis++) {
    LTS_RegisterMessageCallback(axis, MessageCB);  // as the program's start-up does
    LTS_Enable(axis);
  }
  Sleep(200);  // a few polls, so that the status words show the stages enabled
  return connected;
}
