// The values and timer attributes of one panel's controls, shared by every thread. Writers
// mark what changed; the GUI thread takes the changes and brings the widgets up to date.
#pragma once

#include <mutex>
#include <unordered_map>
#include <variant>
#include <vector>

#include "panel_form.h"

namespace runtime_impl {

// A control's value: none for buttons and timers, else of the control's data type.
using ControlValue = std::variant<std::monostate, int, double>;

// What the GUI thread has to show or do for one control: a new value and whether it is
// dimmed, or for a timer a start (enabled) or stop with `interval`, under the timer's arming
// number `arming`.
struct ControlUpdate {
  int control;
  ControlValue value;
  bool timerEnabled;
  double interval;
  unsigned arming;
  bool dimmed;
};

class ControlStore {
 public:
  explicit ControlStore(const std::vector<PanelFormControl>& controls);

  // Both return 0 or a UIE_* code; T is int or double. `set` makes *postFlush true when the
  // caller has to ask the GUI thread for a flush (at most one is asked for at a time); a
  // value equal to the stored one changes nothing the widget shows and asks for none.
  template <typename T>
  int get(int control, T* value) const;
  template <typename T>
  int set(int control, T value, bool* postFlush);
  // Stores a value the widget already shows: an initial value or an operator's edit.
  template <typename T>
  void setFromWidget(int control, T value);

  template <typename T>
  int getAttribute(int control, int attribute, T* value) const;
  template <typename T>
  int setAttribute(int control, int attribute, T value, bool* postFlush);

  ControlValue value(int control) const;  // none for an unknown control
  std::vector<int> ids() const;           // every control's id, ascending

  // Tests: keep every value `set` writes to the control, from an empty record.
  void recordWrites(int control);
  std::vector<double> writes(int control) const;

  // A timer's ticks. Each start, stop or restart of a timer is a new arming, with a number of
  // its own. GUI thread: runs `tick` only while the timer runs under `arming`, the arming its
  // tick was started for. Another thread that sets a timer's attribute holds the ticks
  // (holdTicks) meanwhile, so it waits for a tick under way: once it has stopped or re-armed
  // the timer, no tick of an earlier arming runs.
  template <typename F>
  void runTick(int control, unsigned arming, F&& tick) {
    std::lock_guard ticks(tickMutex_);
    if (tickBelongs(control, arming)) tick();
  }
  std::unique_lock<std::mutex> holdTicks() { return std::unique_lock(tickMutex_); }

  // GUI thread: the controls changed since the last call, with their latest state.
  std::vector<ControlUpdate> takeUpdates();

 private:
  struct Slot {
    int kind;
    int dataType;
    ControlValue value;
    double interval = 0.0;
    bool enabled = false;
    bool dimmed = false;  // not for timers
    unsigned arming = 0;  // timers: bumped by every start, stop or restart
    bool queued = false;  // in changed_
    bool recording = false;
    std::vector<double> writes = {};  // while recording
  };

  Slot* find(int control);
  const Slot* find(int control) const;
  void markChanged(int control, Slot& slot, bool* postFlush);
  template <typename T>
  int setDimmed(int control, Slot& slot, T value, bool* postFlush);
  bool tickBelongs(int control, unsigned arming) const;

  std::mutex tickMutex_;  // held by a tick under way and by another thread setting a timer
  mutable std::mutex mutex_;
  std::unordered_map<int, Slot> slots_;
  std::vector<int> changed_;  // controls with a change not yet taken; a flush is asked for
                              // while it is not empty
};

}  // namespace runtime_impl
