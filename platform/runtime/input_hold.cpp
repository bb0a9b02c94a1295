#include "input_hold.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace runtime_impl::input_hold {
namespace {

bool isOperatorInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    default:
      return false;
  }
}

// Drops operator input to the held windows; installed on the application while held.
class Filter : public QObject {
 public:
  std::vector<QPointer<QWidget>> windows;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The widget test first: the events other threads post (the GUI thread's wake-ups) go to
    // plain objects and are not read here, since Qt's queue hands them over out of the
    // thread checker's sight.
    if (!watched->isWidgetType() || !isOperatorInput(event->type())) return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    for (const QPointer<QWidget>& held : windows) {
      if (held == window) return true;
    }
    return false;
  }
};

struct State {
  bool loopRan = true;  // no panel waits for the loop
  Filter* filter = nullptr;  // set while held
  std::vector<QPointer<QWidget>> disabled;  // the inputs the hold disabled
};

State& state() {
  static State s;
  return s;
}

bool isInput(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QAbstractSlider*>(w);
}

}  // namespace

void panelShown() { state().loopRan = false; }

bool waitingForLoop() { return !state().loopRan; }

void holdUntilLoopRuns() {
  State& s = state();
  if (s.loopRan) return;
  if (!s.filter) {
    s.filter = new Filter;
    qApp->installEventFilter(s.filter);
  }
  const std::vector<QPointer<QWidget>>& held = s.filter->windows;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || std::find(held.begin(), held.end(), window) != held.end()) continue;
    bool hasInputs = false;
    for (QWidget* child : window->findChildren<QWidget*>()) {
      // Inside a line edit of a spin box: the spin box is disabled itself.
      if (!isInput(child) || !child->isEnabled() || qobject_cast<QAbstractSpinBox*>(child->parentWidget())) continue;
      child->setEnabled(false);
      s.disabled.emplace_back(child);
      hasInputs = true;
    }
    if (hasInputs) s.filter->windows.emplace_back(window);
  }
}

void loopRuns() {
  State& s = state();
  s.loopRan = true;
  if (!s.filter) return;
  // Input the window system kept back during the sleeps arrives now, and is dropped.
  QCoreApplication::processEvents();
  for (const QPointer<QWidget>& input : s.disabled) {
    if (input) input->setEnabled(true);
  }
  s.disabled.clear();
  delete s.filter;  // removes it from the application
  s.filter = nullptr;
}

}  // namespace runtime_impl::input_hold
