#include "settings_file.h"

#include <QDir>

#include <cstdlib>

QString SettingsFilePath() {
  return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Quarlex/Quarlex.ini";
}

void RemoveSettingsFiles() {
  QDir(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Quarlex").removeRecursively();
}
