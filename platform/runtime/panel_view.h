// The widgets of one loaded panel, on the GUI thread: shows the values its store holds,
// passes operator edits and button presses on, runs the panel's timers and turns a request
// to close the window into the close control's commit event.
#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <unordered_map>

#include "control_store.h"
#include "gui_runtime.h"
#include "panel_form.h"

namespace runtime_impl {

class PanelView : public QObject {
  Q_OBJECT

 public:
  PanelView(int handle, ControlStore& store, std::unique_ptr<QWidget> window);
  ~PanelView() override;

  // Connects every control of `form` to its widget and the timers to their callbacks
  // (by control id). False, with the reason in *error, when a control has no fitting widget.
  bool bind(const PanelForm& form, const std::unordered_map<int, CtrlCallbackPtr>& callbacks,
            QString* error);

  // Shows the store's changes: latest values, timers started or stopped.
  void flush();

  QWidget* window() const { return window_.get(); }
  QWidget* control(int id) const { return controls_.value(id); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool bindControl(const PanelFormControl& control, QWidget* widget, CtrlCallbackPtr callback);

  const int handle_;
  ControlStore& store_;
  std::unique_ptr<QWidget> window_;
  int closeCtrl_ = 0;
  QHash<int, QWidget*> controls_;
  QHash<int, QTimer*> timers_;
  QHash<int, unsigned> timerArmings_;  // the arming each timer's QTimer was started for
};

}  // namespace runtime_impl
