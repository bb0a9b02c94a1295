// One instance of the program per user: a lock file in the runtime folder.
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

#include "gui_runtime.h"

int LockSingleInstance(const char* name) {
  // Held until the process ends; its destruction at exit removes the file.
  static std::unique_ptr<QLockFile> held;
  if (held) return 1;
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath();
  const QString path = QDir(folder).filePath(QString::fromLocal8Bit(name) + QStringLiteral(".lock"));
  auto lock = std::make_unique<QLockFile>(path);
  // Never stale by age, however long an instance runs; a lock whose process has died is
  // stale whatever its age, and tryLock takes it over.
  lock->setStaleLockTime(0);
  if (lock->tryLock(0)) {
    held = std::move(lock);
    return 1;
  }
  qint64 pid = 0;
  QString host;
  QString application;
  if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application)) {
    std::fprintf(stderr, "Quarlex: another instance already runs (process %lld on %s, lock %s); this one ends\n",
                 static_cast<long long>(pid), qUtf8Printable(host), qUtf8Printable(path));
  } else {
    std::fprintf(stderr, "Quarlex: cannot take the instance lock %s (error %d); this one ends\n",
                 qUtf8Printable(path), int(lock->error()));
  }
  return 0;
}
