// Keys that press a panel's controls, and numeric inputs that keys and the wheel do not step.
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include <map>
#include <set>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"
#include "user_events.h"

namespace {

Qt::Key qtKey(int key) {
  switch (key) {
    case PANEL_KEY_LEFT: return Qt::Key_Left;
    case PANEL_KEY_RIGHT: return Qt::Key_Right;
    case PANEL_KEY_UP: return Qt::Key_Up;
    case PANEL_KEY_DOWN: return Qt::Key_Down;
    case PANEL_KEY_PAGE_UP: return Qt::Key_PageUp;
    case PANEL_KEY_PAGE_DOWN: return Qt::Key_PageDown;
    case PANEL_KEY_ESCAPE: return Qt::Key_Escape;
    default: return Qt::Key_unknown;
  }
}

bool isStepKey(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
         key == Qt::Key_PageDown;
}

// A widget where typed text goes: keys there edit the text, never the stages.
bool isTextField(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)) return true;
    if (w->isWindow()) break;
  }
  return false;
}

// Sees every key press and wheel turn of the application before the widget it is meant for.
class KeyFilter : public QObject {
 public:
  std::map<int, std::map<int, int>> bindings;  // panel handle -> Qt key -> control
  std::set<QWidget*> locked;                   // inputs that take no step

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    if (event->type() == QEvent::Wheel) return isLocked(widget);
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (isStepKey(key->key()) && isLocked(widget)) return true;
    return pressBoundControl(widget, key);
  }

 private:
  bool isLocked(QWidget* w) const {
    for (; w; w = w->parentWidget()) {
      if (locked.count(w) != 0) return true;
      if (w->isWindow()) break;
    }
    return false;
  }

  bool pressBoundControl(QWidget* receiver, QKeyEvent* key) {
    if (QApplication::activeModalWidget() || isTextField(QApplication::focusWidget()) ||
        isTextField(receiver)) {
      return false;
    }
    for (const auto& [panel, keys] : bindings) {
      const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
      if (!p || !p->view || receiver->window() != p->view->window()) continue;
      const auto bound = keys.find(key->key());
      if (bound == keys.end()) return false;
      if (!key->isAutoRepeat()) runtime_impl::queueOperatorEvent(panel, bound->second);
      return true;  // a held key's repeats are taken here, so they reach no widget either
    }
    return false;
  }
};

KeyFilter* filter() {
  static QPointer<KeyFilter> instance;
  if (!instance) {
    instance = new KeyFilter;
    instance->setParent(qApp);
    qApp->installEventFilter(instance);
  }
  return instance;
}

}  // namespace

int BindPanelKey(int panel, int key, int control) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  if (!runtime_impl::panels::find(panel)) return UIE_BAD_PANEL;
  if (qtKey(key) == Qt::Key_unknown) return UIE_BAD_ARGUMENT;
  filter()->bindings[panel][qtKey(key)] = control;
  return 0;
}

int LockStepKeys(int panel, int control) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
  if (!p || !p->view) return UIE_BAD_PANEL;
  auto* input = qobject_cast<QAbstractSpinBox*>(p->view->control(control));
  if (!input) return UIE_BAD_CONTROL;
  KeyFilter* f = filter();
  input->setButtonSymbols(QAbstractSpinBox::NoButtons);
  f->locked.insert(input);
  QObject::connect(input, &QObject::destroyed, f, [f, input] { f->locked.erase(input); });
  return 0;
}
