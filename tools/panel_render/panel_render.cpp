// Renders the real panel file to a PNG, as the operator sees it once the simulated stages are
// connected and enabled: the picture in the README.
#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "status_display.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static InstanceData instance{argc, argv};
  if (InitCVIRTEEx(&instance, nullptr, nullptr) == 0) return 1;
  p1_h = LoadPanel(0, "Quarlex_ui.uir", PANEL);
  if (p1_h < 0) return 1;
  DisplayPanel(p1_h);
  platform_clock::setSpeed(1000.0);  // the connection's fixed sleeps
  LTS_Open();
  SetCtrlVal(p1_h, PANEL_COMLED, 1);
  for (int axis = 0; axis < 3; axis++) LTS_Enable(axis);
  LTS_Home(0, 0);
  Sleep(3000);  // X homed, the others enabled where they stand
  RefreshDisplay();
  int panel = 0;
  int control = 0;
  GetUserEvent(0, &panel, &control);  // shows the values
  if (!runtime_testing::panelWidget(p1_h)->grab().save(QString::fromLocal8Bit(argv[1]))) return 1;
  return 0;
}
