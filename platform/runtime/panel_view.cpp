#include "panel_view.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>

#include "gui_thread.h"
#include "panel_widgets.h"
#include "platform_clock.h"
#include "scan_map_view.h"
#include "runtime_testing.h"
#include "user_events.h"

namespace runtime_impl {
namespace {

// Tests: called on each tick that will run its callback, just before the callback.
std::function<void(int, int)>& tickHook() {
  static auto& hook = *new std::function<void(int, int)>;
  return hook;
}

// A progress bar counts tenths of a percent and writes the percentage with one decimal; the
// bar is clamped to 0..100 %, the text is not.
constexpr int kProgressSteps = 1000;

void showPercent(QProgressBar* bar, double percent) {
  const double shown = std::isnan(percent) ? 0.0 : std::clamp(percent, 0.0, 100.0);
  bar->setValue(int(std::lround(shown * kProgressSteps / 100.0)));
  bar->setFormat(QString::number(percent, 'f', 1) + u'%');
}

void showValue(QWidget* widget, const ControlValue& value) {
  // Programmatic updates must not come back as operator edits.
  const QSignalBlocker blocker(widget);
  if (const int* i = std::get_if<int>(&value)) {
    if (auto* led = qobject_cast<Led*>(widget)) {
      led->setOn(*i != 0);
    } else if (auto* indicator = qobject_cast<NumericIndicator*>(widget)) {
      indicator->showValue(*i);
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
      spin->setValue(*i);
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      box->setChecked(*i != 0);
    }
  } else if (const double* d = std::get_if<double>(&value)) {
    if (auto* indicator = qobject_cast<NumericIndicator*>(widget)) {
      indicator->showValue(*d);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
      showPercent(bar, *d);
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget); spin && std::isfinite(*d)) {
      spin->setValue(*d);
    }
  }
}

// A timer of `interval` clock seconds fires every realDuration(interval), at least 1 ms.
void restartTimer(QTimer* timer, bool enabled, double interval) {
  using std::chrono::milliseconds;
  if (!enabled) {
    timer->stop();
    return;
  }
  const auto real = std::chrono::round<milliseconds>(platform_clock::realDuration(interval));
  timer->start(std::max(real, milliseconds(1)));
}

}  // namespace

PanelView::PanelView(int handle, ControlStore& store, std::unique_ptr<QWidget> window)
    : handle_(handle), store_(store), window_(std::move(window)) {}

PanelView::~PanelView() = default;

bool PanelView::bind(const PanelForm& form,
                     const std::unordered_map<int, CtrlCallbackPtr>& callbacks, QString* error) {
  QHash<int, QWidget*> byId;
  for (QWidget* widget : window_->findChildren<QWidget*>()) {
    bool ok = false;
    const int id = widget->property("ctrlId").toInt(&ok);
    if (ok) byId.insert(id, widget);
  }
  for (const PanelFormControl& c : form.controls) {
    const auto callback = callbacks.find(c.id);
    if (!bindControl(c, byId.value(c.id), callback == callbacks.end() ? nullptr : callback->second)) {
      *error = named(c) + QStringLiteral(": no %1 was built for it").arg(c.className);
      return false;
    }
  }
  closeCtrl_ = form.closeCtrl;
  window_->installEventFilter(this);
  return true;
}

bool PanelView::bindControl(const PanelFormControl& c, QWidget* widget, CtrlCallbackPtr callback) {
  const int id = c.id;
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    connect(button, &QPushButton::clicked, this, [this, id] { queueOperatorEvent(handle_, id); });
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    store_.setFromWidget(id, spin->value());
    connect(spin, &QSpinBox::valueChanged, this, [this, id](int v) { store_.setFromWidget(id, v); });
  } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(widget)) {
    store_.setFromWidget(id, spin->value());
    connect(spin, &QDoubleSpinBox::valueChanged, this, [this, id](double v) { store_.setFromWidget(id, v); });
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    store_.setFromWidget(id, int(box->isChecked()));
    connect(box, &QCheckBox::toggled, this, [this, id](bool on) { store_.setFromWidget(id, int(on)); });
  } else if (auto* led = qobject_cast<Led*>(widget)) {
    store_.setFromWidget(id, int(led->isOn()));
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    // The form's value, within the form's range, is the initial percentage.
    const qint64 span = qint64(bar->maximum()) - bar->minimum();
    const qint64 done = std::max<qint64>(0, qint64(bar->value()) - bar->minimum());
    const double percent = span > 0 ? double(done) * 100.0 / double(span) : 0.0;
    store_.setFromWidget(id, percent);
    bar->setRange(0, kProgressSteps);
    showPercent(bar, percent);
  } else if (auto* indicator = qobject_cast<NumericIndicator*>(widget)) {
    showValue(indicator, store_.value(id));
  } else if (qobject_cast<QLineEdit*>(widget)) {
    // Text lives in the widget; read and written on the GUI thread only.
  } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
    list->setSelectionMode(QAbstractItemView::SingleSelection);
  } else if (qobject_cast<ScanMap*>(widget)) {
    // Drawn through the map's own calls; it holds no value.
  } else if (qobject_cast<PanelTimer*>(widget) && callback) {
    auto* timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    // A tick that was due before the timer was stopped or re-armed from another thread
    // belongs to the earlier arming and is dropped.
    connect(timer, &QTimer::timeout, this, [this, id, callback] {
      // A sleep on the GUI thread runs nothing of the program; the tick is left out.
      if (gui_thread::displayOnly()) return;
      store_.runTick(id, timerArmings_.value(id), [&] {
        if (tickHook()) tickHook()(handle_, id);
        callback(handle_, id, EVENT_TIMER_TICK, nullptr, 0, 0);
      });
    });
    restartTimer(timer, c.enabled, c.interval);
    timers_.insert(id, timer);
    timerArmings_.insert(id, 0);
  } else {
    return false;
  }
  controls_.insert(id, widget);
  return true;
}

void PanelView::flush() {
  for (const ControlUpdate& update : store_.takeUpdates()) {
    if (QTimer* timer = timers_.value(update.control)) {
      restartTimer(timer, update.timerEnabled, update.interval);
      timerArmings_.insert(update.control, update.arming);
    } else if (QWidget* widget = controls_.value(update.control)) {
      showValue(widget, update.value);
      widget->setEnabled(!update.dimmed);
    }
  }
}

bool PanelView::eventFilter(QObject* watched, QEvent* event) {
  // Closing the window stands for pressing the close control; the window stays.
  if (watched == window_.get() && event->type() == QEvent::Close) {
    event->ignore();
    queueOperatorEvent(handle_, closeCtrl_);
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace runtime_impl

void runtime_testing::setTickHook(std::function<void(int panel, int control)> hook) {
  runtime_impl::tickHook() = std::move(hook);
}
