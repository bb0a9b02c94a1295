// Texts of a panel's controls set by the program: a button's label, a tooltip.
#include <QAbstractButton>

#include <functional>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"

namespace {

// Checks the panel and control, then runs `apply` on the control's widget on the GUI thread.
int onWidget(int panel, int control, const char* text,
             std::function<void(QWidget*, const QString&)> apply) {
  const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  int kind = 0;
  if (p->store.getAttribute(control, ATTR_CTRL_KIND, &kind) < 0) return UIE_BAD_CONTROL;
  if (!text) return UIE_BAD_ARGUMENT;
  const QString value = QString::fromUtf8(text);
  runtime_impl::gui_thread::post([panel, control, value, apply = std::move(apply)] {
    const std::shared_ptr<runtime_impl::Panel> q = runtime_impl::panels::find(panel);
    if (!q || !q->view) return;  // discarded meanwhile
    if (QWidget* widget = q->view->control(control)) apply(widget, value);
  });
  return 0;
}

}  // namespace

int SetCtrlLabel(int panel, int control, const char* text) {
  return onWidget(panel, control, text, [](QWidget* widget, const QString& value) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(value);
  });
}

int SetCtrlToolTip(int panel, int control, const char* text) {
  return onWidget(panel, control, text,
                  [](QWidget* widget, const QString& value) { widget->setToolTip(value); });
}
