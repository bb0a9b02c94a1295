#include "bench_rig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"
#include "scan.h"

namespace {

// Writes the panel file into `folder` without the scan map's widget and loads panels from
// there: the map's calls then find no map and draw nothing.
bool usePanelWithoutMap(const QString& folder) {
  QFile original(QDir(QCoreApplication::applicationDirPath()).filePath("Quarlex_ui.uir"));
  if (!original.open(QIODevice::ReadOnly)) return false;
  QString xml = QString::fromUtf8(original.readAll());
  const QRegularExpression map(QStringLiteral("<widget class=\"ScanMap\".*?</widget>"),
                               QRegularExpression::DotMatchesEverythingOption);
  if (xml.count(map) != 1) return false;
  xml.remove(map);
  QFile copy(QDir(folder).filePath("Quarlex_ui.uir"));
  if (!copy.open(QIODevice::WriteOnly) || copy.write(xml.toUtf8()) < 0) return false;
  runtime_testing::setPanelDirectory(folder.toStdString());
  return true;
}

}  // namespace

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
  bool withoutMap = false;
  for (int i = 1; i < argc; i++) withoutMap = withoutMap || QLatin1String(argv[i]) == "--without-map";
  if (withoutMap) {
    fprintf(stderr, "the panel without its scan map\n");
    if (!usePanelWithoutMap(home.path())) {
      fprintf(stderr, "cannot write a panel file without the map\n");
      return false;
    }
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
  // The event loop's first look at the queue, as the program's loop takes it after the
  // connection: until then the panel's inputs stay held (greyed), and a click does nothing.
  int panel = 0;
  int control = 0;
  while (GetUserEvent(0, &panel, &control) != 0) {
  }
  return connected;
}
