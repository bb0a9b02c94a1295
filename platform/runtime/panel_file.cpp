#include "panel_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include "runtime_testing.h"

namespace runtime_impl {
namespace {

// Far above any real panel (the program's own is about 100 kB); a larger file is not one.
constexpr qint64 kMaxPanelFileBytes = 4 * 1024 * 1024;

// Set by tests to load their own variant of a panel file under its usual name.
QString& panelDirectory() {
  static QString& directory = *new QString;
  return directory;
}

CtrlCallbackPtr findCallback(const QString& name) {
  for (const PanelCallback* entry = panelCallbackTable; entry->name; ++entry) {
    if (name == QLatin1String(entry->name)) return entry->function;
  }
  return nullptr;
}

}  // namespace

int refusePanelFile(const QString& path, const QString& fault, int code) {
  std::fprintf(stderr, "Quarlex: cannot load panel file \"%s\": %s\n", qUtf8Printable(path),
               qUtf8Printable(fault));
  return code;
}

std::optional<PanelFile> readPanelFile(const QString& fileName, int resourceId, int* error) {
  const auto refuse = [error](const QString& path, const QString& fault, int code) {
    *error = refusePanelFile(path, fault, code);
    return std::nullopt;
  };
  PanelFile file;
  if (QFileInfo(fileName).isAbsolute()) {
    file.path = fileName;
  } else {
    const QString executableDir = QCoreApplication::applicationDirPath();
    const QString besideExecutable = QDir(executableDir).filePath(fileName);
    const QString inWorkingDir = QDir::current().filePath(fileName);
    const QString inTestDir = panelDirectory().isEmpty() ? QString() : QDir(panelDirectory()).filePath(fileName);
    if (!inTestDir.isEmpty()) {
      file.path = inTestDir;
    } else if (QFileInfo::exists(besideExecutable)) {
      file.path = besideExecutable;
    } else if (QFileInfo::exists(inWorkingDir)) {
      file.path = inWorkingDir;
    } else {
      return refuse(fileName,
                    QStringLiteral("found neither next to the executable (%1) nor in the working directory (%2)")
                        .arg(executableDir, QDir::currentPath()),
                    UIE_FILE_NOT_FOUND);
    }
  }
  // Checked before opening: opening a FIFO waits for a writer, and a device such as
  // /dev/zero never ends.
  const QFileInfo info(file.path);
  if (info.exists() && !info.isFile()) {
    return refuse(file.path, QStringLiteral("it is not a regular file"), UIE_BAD_FILE);
  }
  const QString tooLarge = QStringLiteral("it is larger than %1 bytes").arg(kMaxPanelFileBytes);
  if (info.size() > kMaxPanelFileBytes) return refuse(file.path, tooLarge, UIE_BAD_FILE);
  QFile input(file.path);
  if (!input.open(QIODevice::ReadOnly)) {
    return refuse(file.path, input.errorString(), UIE_FILE_NOT_FOUND);
  }
  // Bounded again in case the file grew or was replaced since it was looked at.
  file.xml = input.read(kMaxPanelFileBytes + 1);
  if (file.xml.size() > kMaxPanelFileBytes) return refuse(file.path, tooLarge, UIE_BAD_FILE);

  QString fault;
  std::optional<PanelForm> form = ParsePanelForm(file.xml, &fault);
  if (!form) return refuse(file.path, fault, UIE_BAD_FILE);
  if (form->panelId != resourceId) {
    return refuse(file.path, QStringLiteral("it holds panel %1, not panel %2").arg(form->panelId).arg(resourceId),
                  UIE_BAD_FILE);
  }
  for (const PanelFormControl& c : form->controls) {
    if (c.kind != CTRL_KIND_TIMER) continue;
    const CtrlCallbackPtr callback = findCallback(c.callback);
    if (!callback) {
      return refuse(file.path,
                    named(c) + QStringLiteral(": callback \"%1\" is not in the program's callback table")
                                   .arg(c.callback),
                    UIE_BAD_FILE);
    }
    file.timerCallbacks.emplace(c.id, callback);
  }
  file.form = std::move(*form);
  return file;
}

}  // namespace runtime_impl

void runtime_testing::setPanelDirectory(const std::string& directory) {
  runtime_impl::panelDirectory() = QString::fromStdString(directory);
}
