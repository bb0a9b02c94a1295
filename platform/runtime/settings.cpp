// The program's settings file, its data folder, the local time and the folder chooser.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

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

namespace {

// Far more than the program ever writes; a larger file is not one of its settings files.
constexpr qint64 kMaxSettingsBytes = 1 << 20;

// Why the settings file at `path` (which exists) cannot be used; empty when it can.
QString settingsFault(const QString& path) {
  if (!QFileInfo(path).isFile()) return QStringLiteral("is not a regular file");
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot be read (%1)").arg(file.errorString());
  const QByteArray bytes = file.read(kMaxSettingsBytes + 1);
  if (bytes.isEmpty()) return QStringLiteral("is empty");
  if (bytes.size() > kMaxSettingsBytes) return QStringLiteral("is larger than 1 MB");
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(bytes);
  if (text.contains(QChar(u'\0')) || utf8.hasError()) return QStringLiteral("is not text");
  // The program writes whole lines; a last line without its end was cut off.
  if (!bytes.endsWith('\n')) return QStringLiteral("is truncated");
  if (QSettings(path, QSettings::IniFormat).status() != QSettings::NoError) {
    return QStringLiteral("does not parse as settings");
  }
  return {};
}

// Moves `path` to `aside`, replacing whatever an earlier start set aside there.
bool moveAside(const QString& path, const QString& aside) {
  const QFileInfo old(aside);
  if (old.isDir() && !old.isSymLink()) {
    QDir(aside).removeRecursively();
  } else if (old.exists() || old.isSymLink()) {
    QFile::remove(aside);
  }
  return QDir().rename(path, aside);
}

}  // namespace

int CheckSettingsFile(void) {
  std::lock_guard<std::mutex> lock(settingsMutex);
  const QString path = settingsFile().fileName();
  const QFileInfo info(path);
  if (!info.exists() && !info.isSymLink()) return 0;
  const QString fault = settingsFault(path);
  if (fault.isEmpty()) return 0;
  const QString aside = path + QStringLiteral(".bad");
  const QString outcome = moveAside(path, aside)
                              ? QStringLiteral("starting from defaults (the file is kept as %1)").arg(aside)
                              : QStringLiteral("starting from defaults; it cannot be moved aside, so "
                                               "settings will not be kept");
  printf("Settings: %s %s; %s\n", path.toLocal8Bit().constData(), fault.toLocal8Bit().constData(),
         outcome.toLocal8Bit().constData());
  return 1;
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
