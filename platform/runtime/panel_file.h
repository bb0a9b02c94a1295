// Finding, reading and checking a panel file before any widget is built.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <unordered_map>

#include "gui_runtime.h"
#include "panel_form.h"

namespace runtime_impl {

struct PanelFile {
  QString path;
  QByteArray xml;
  PanelForm form;
  std::unordered_map<int, CtrlCallbackPtr> timerCallbacks;  // by timer control id
};

// Prints `Quarlex: cannot load panel file "<path>": <fault>` on stderr; returns `code`.
int refusePanelFile(const QString& path, const QString& fault, int code);

// Finds `fileName` (an absolute path, or a name next to the executable, then in the working
// directory), reads it and checks that it holds panel `resourceId` and that its timers name
// callbacks of the program's panelCallbackTable. On a fault, refuses the file and returns
// nothing with the UIE_* code in *error.
std::optional<PanelFile> readPanelFile(const QString& fileName, int resourceId, int* error);

}  // namespace runtime_impl
