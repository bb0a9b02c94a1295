// libFuzzer target: the panel-file checks must refuse or accept any bytes without crashing,
// hanging or touching memory they do not own; an accepted form must satisfy the checks.
#include <QByteArray>
#include <QSet>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gui_runtime.h"
#include "panel_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray xml(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  const std::optional<PanelForm> form = ParsePanelForm(xml, &error);
  if (!form) {
    if (error.isEmpty()) std::abort();  // every refusal says why
    return 0;
  }
  QSet<int> ids;
  bool closeIsButton = false;
  for (const PanelFormControl& c : form->controls) {
    if (c.id < 1 || ids.contains(c.id)) std::abort();
    ids.insert(c.id);
    if (c.kind == CTRL_KIND_TIMER && (c.callback.isEmpty() || !(c.interval > 0.0))) std::abort();
    if (c.id == form->closeCtrl && c.kind == CTRL_KIND_COMMAND_BUTTON) closeIsButton = true;
  }
  if (!closeIsButton) std::abort();
  return 0;
}
