// The program's settings file, its data folder, the local time and the folder chooser.
#include <QDateTime>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "gui_runtime.h"
#include "gui_thread.h"

namespace {

const char kProgram[] = "Quarlex";

// QSettings objects are not shared between threads; one at a time reaches the file.
std::mutex settingsMutex;

QSettings settingsFile() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, kProgram, kProgram);
}

int copyOut(const QString& text, char* out, int size) {
  const QByteArray bytes = text.toUtf8();
  if (out && size > 0) {
    const int n = std::min<int>(static_cast<int>(bytes.size()), size - 1);
    std::memcpy(out, bytes.constData(), static_cast<std::size_t>(n));
    out[n] = '\0';
  }
  return static_cast<int>(bytes.size());
}

}  // namespace

int GetSetting(const char* key, char* value, int size) {
  std::lock_guard<std::mutex> lock(settingsMutex);
  QSettings settings = settingsFile();
  const QString k = QString::fromUtf8(key);
  if (!settings.contains(k)) {
    copyOut(QString(), value, size);
    return -1;
  }
  return copyOut(settings.value(k).toString(), value, size);
}

int SetSetting(const char* key, const char* value) {
  std::lock_guard<std::mutex> lock(settingsMutex);
  QSettings settings = settingsFile();
  settings.setValue(QString::fromUtf8(key), QString::fromUtf8(value));
  settings.sync();
  if (settings.status() == QSettings::NoError) return 0;
  printf("Settings: cannot write %s\n", settings.fileName().toLocal8Bit().constData());
  return -1;
}

int GetDataFolder(char* path, int size) {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return copyOut(base + QLatin1Char('/') + QLatin1String(kProgram), path, size);
}

int GetLocalTimestamp(char* iso, int isoSize, char* compact, int compactSize) {
  const QDateTime local = QDateTime::currentDateTime();
  copyOut(local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate), iso, isoSize);
  copyOut(local.toString(QStringLiteral("yyyyMMdd-HHmmss")), compact, compactSize);
  return 0;
}

int ChooseFolder(const char* title, const char* start, char* path, int size) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  const QString chosen = QFileDialog::getExistingDirectory(
      nullptr, QString::fromUtf8(title ? title : ""), QString::fromUtf8(start ? start : ""));
  if (chosen.isEmpty()) return 0;
  copyOut(chosen, path, size);
  return 1;
}
