// Text inputs and lists: controls whose contents live in their widgets, on the GUI thread.
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <cstring>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"

namespace {

// The widget of `control` as a W, or a UIE_* code in *result.
template <typename W>
W* widgetOf(int panel, int control, int* result) {
  if (!runtime_impl::gui_thread::isCurrent()) {
    *result = UIE_NOT_INITIALISED;
    return nullptr;
  }
  const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
  if (!p || !p->view) {
    *result = UIE_BAD_PANEL;
    return nullptr;
  }
  QWidget* widget = p->view->control(control);
  if (!widget) {
    *result = UIE_BAD_CONTROL;
    return nullptr;
  }
  W* typed = qobject_cast<W*>(widget);
  *result = typed ? 0 : UIE_WRONG_TYPE;
  return typed;
}

}  // namespace

int GetCtrlString(int panel, int control, char* value, int size) {
  int result = 0;
  auto* edit = widgetOf<QLineEdit>(panel, control, &result);
  if (!edit) return result;
  const QByteArray text = edit->text().toUtf8();
  if (value && size > 0) {
    const int n = std::min<int>(static_cast<int>(text.size()), size - 1);
    std::memcpy(value, text.constData(), static_cast<std::size_t>(n));
    value[n] = '\0';
  }
  return static_cast<int>(text.size());
}

int SetCtrlString(int panel, int control, const char* value) {
  int result = 0;
  auto* edit = widgetOf<QLineEdit>(panel, control, &result);
  if (!edit) return result;
  if (!value) return UIE_BAD_ARGUMENT;
  edit->setText(QString::fromUtf8(value));
  return 0;
}

int InsertListItem(int panel, int control, int index, const char* label) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  if (!label || index < -1 || index > list->count()) return UIE_BAD_ARGUMENT;
  list->insertItem(index == -1 ? list->count() : index, QString::fromUtf8(label));
  return 0;
}

int DeleteListItem(int panel, int control, int index) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  if (index < 0 || index >= list->count()) return UIE_BAD_ARGUMENT;
  delete list->takeItem(index);
  return 0;
}

int ClearListCtrl(int panel, int control) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  list->clear();
  return 0;
}

int GetNumListItems(int panel, int control, int* count) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  *count = list->count();
  return 0;
}

int GetCtrlIndex(int panel, int control, int* index) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  const QList<QListWidgetItem*> selected = list->selectedItems();
  *index = selected.isEmpty() ? -1 : list->row(selected.front());
  return 0;
}

int SetCtrlIndex(int panel, int control, int index) {
  int result = 0;
  auto* list = widgetOf<QListWidget>(panel, control, &result);
  if (!list) return result;
  if (index < -1 || index >= list->count()) return UIE_BAD_ARGUMENT;
  list->clearSelection();
  if (index >= 0) list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  return 0;
}
