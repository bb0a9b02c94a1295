// Text shown in a panel's plain labels.
#include <QLabel>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"

int SetPanelText(int panel, const char* labelName, const char* text) {
  const std::shared_ptr<runtime_impl::Panel> shown = runtime_impl::panels::find(panel);
  if (!shown) return UIE_BAD_PANEL;
  if (!labelName || !text) return UIE_BAD_ARGUMENT;
  // The refresh and the scan rewrite their labels every time; only a change goes to the GUI.
  if (!shown->changeLabelText(labelName, text)) return 0;
  const QString name = QString::fromUtf8(labelName);
  const QString value = QString::fromUtf8(text);
  runtime_impl::gui_thread::postDisplay([panel, name, value] {
    const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
    if (!p || !p->view) return;  // discarded meanwhile
    if (QLabel* label = p->view->window()->findChild<QLabel*>(name)) label->setText(value);
  });
  return 0;
}
