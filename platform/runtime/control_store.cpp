#include "control_store.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "gui_runtime.h"

namespace runtime_impl {
namespace {

// Check boxes and LEDs hold 0 or 1, as their widgets can show no other value.
template <typename T>
T normalised(int kind, T value) {
  if constexpr (std::is_same_v<T, int>) {
    if (kind == CTRL_KIND_CHECK_BOX || kind == CTRL_KIND_LED) return value != 0 ? 1 : 0;
  }
  return value;
}

}  // namespace

ControlStore::ControlStore(const std::vector<PanelFormControl>& controls) {
  for (const PanelFormControl& c : controls) {
    Slot slot{c.kind, c.dataType, {}};
    if (c.dataType == VAL_INTEGER) slot.value = 0;
    if (c.dataType == VAL_DOUBLE) slot.value = 0.0;
    slot.interval = c.interval;
    slot.enabled = c.enabled;
    slots_.emplace(c.id, slot);
  }
}

ControlStore::Slot* ControlStore::find(int control) {
  const auto it = slots_.find(control);
  return it == slots_.end() ? nullptr : &it->second;
}

const ControlStore::Slot* ControlStore::find(int control) const {
  const auto it = slots_.find(control);
  return it == slots_.end() ? nullptr : &it->second;
}

void ControlStore::markChanged(int control, Slot& slot, bool* postFlush) {
  *postFlush = changed_.empty();
  if (!std::exchange(slot.queued, true)) changed_.push_back(control);
}

template <typename T>
int ControlStore::get(int control, T* value) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = find(control);
  if (!slot) return UIE_BAD_CONTROL;
  const T* stored = std::get_if<T>(&slot->value);
  if (!stored) return UIE_WRONG_TYPE;
  *value = *stored;
  return 0;
}

template <typename T>
int ControlStore::set(int control, T value, bool* postFlush) {
  std::lock_guard lock(mutex_);
  Slot* slot = find(control);
  if (!slot) return UIE_BAD_CONTROL;
  if (!std::holds_alternative<T>(slot->value)) return UIE_WRONG_TYPE;
  const T shown = normalised(slot->kind, value);
  if (slot->recording) slot->writes.push_back(static_cast<double>(shown));
  // A refresh rewrites every indicator; most values have not changed since the last one.
  // (A NaN never equals the stored value, so it is always shown.)
  if (std::get<T>(slot->value) == shown) return 0;
  slot->value = shown;
  markChanged(control, *slot, postFlush);
  return 0;
}

void ControlStore::recordWrites(int control) {
  std::lock_guard lock(mutex_);
  if (Slot* slot = find(control)) {
    slot->recording = true;
    slot->writes.clear();
  }
}

std::vector<double> ControlStore::writes(int control) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = find(control);
  return slot ? slot->writes : std::vector<double>{};
}

template <typename T>
void ControlStore::setFromWidget(int control, T value) {
  std::lock_guard lock(mutex_);
  Slot* slot = find(control);
  if (slot && std::holds_alternative<T>(slot->value)) slot->value = normalised(slot->kind, value);
}

template <typename T>
int ControlStore::getAttribute(int control, int attribute, T* value) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = find(control);
  if (!slot) return UIE_BAD_CONTROL;
  const bool timer = slot->kind == CTRL_KIND_TIMER;
  std::variant<int, double> stored;
  switch (attribute) {
    case ATTR_CTRL_KIND: stored = slot->kind; break;
    case ATTR_DATA_TYPE: stored = slot->dataType; break;
    case ATTR_INTERVAL:
      if (!timer) return UIE_BAD_ATTRIBUTE;
      stored = slot->interval;
      break;
    case ATTR_ENABLED:
      if (!timer) return UIE_BAD_ATTRIBUTE;
      stored = slot->enabled ? 1 : 0;
      break;
    case ATTR_DIMMED:
      if (timer) return UIE_BAD_ATTRIBUTE;
      stored = slot->dimmed ? 1 : 0;
      break;
    case ATTR_CALLBACK_FUNCTION: return UIE_WRONG_TYPE;  // a function, read by its own overload
    default: return UIE_BAD_ATTRIBUTE;
  }
  const T* typed = std::get_if<T>(&stored);
  if (!typed) return UIE_WRONG_TYPE;
  *value = *typed;
  return 0;
}

template <typename T>
int ControlStore::setAttribute(int control, int attribute, T value, bool* postFlush) {
  std::lock_guard lock(mutex_);
  Slot* slot = find(control);
  if (!slot) return UIE_BAD_CONTROL;
  if (attribute == ATTR_DIMMED) return setDimmed(control, *slot, value, postFlush);
  // Besides dimming, only a timer's interval and running state can be set; kind and data
  // type are read-only.
  if (slot->kind != CTRL_KIND_TIMER || (attribute != ATTR_INTERVAL && attribute != ATTR_ENABLED)) {
    return UIE_BAD_ATTRIBUTE;
  }
  if (attribute == ATTR_INTERVAL) {
    if constexpr (!std::is_same_v<T, double>) {
      return UIE_WRONG_TYPE;
    } else {
      if (!std::isfinite(value) || value <= 0.0) return UIE_BAD_ARGUMENT;
      slot->interval = value;
      // A stopped timer takes the new interval when it is next enabled.
      if (!slot->enabled) return 0;
    }
  } else {
    if constexpr (!std::is_same_v<T, int>) {
      return UIE_WRONG_TYPE;
    } else {
      slot->enabled = value != 0;
    }
  }
  slot->arming++;
  markChanged(control, *slot, postFlush);
  return 0;
}

// A timer has no widget to dim. Setting the state a control already has changes nothing.
template <typename T>
int ControlStore::setDimmed(int control, Slot& slot, T value, bool* postFlush) {
  if (slot.kind == CTRL_KIND_TIMER) return UIE_BAD_ATTRIBUTE;
  if constexpr (!std::is_same_v<T, int>) {
    return UIE_WRONG_TYPE;
  } else {
    const bool dimmed = value != 0;
    if (slot.dimmed == dimmed) return 0;
    slot.dimmed = dimmed;
    markChanged(control, slot, postFlush);
    return 0;
  }
}

ControlValue ControlStore::value(int control) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = find(control);
  return slot ? slot->value : ControlValue();
}

std::vector<int> ControlStore::ids() const {
  std::lock_guard lock(mutex_);
  std::vector<int> result;
  result.reserve(slots_.size());
  for (const auto& [id, slot] : slots_) result.push_back(id);
  std::sort(result.begin(), result.end());
  return result;
}

bool ControlStore::tickBelongs(int control, unsigned arming) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = find(control);
  return slot && slot->enabled && slot->arming == arming;
}

std::vector<ControlUpdate> ControlStore::takeUpdates() {
  std::lock_guard lock(mutex_);
  std::vector<ControlUpdate> updates;
  updates.reserve(changed_.size());
  for (const int control : changed_) {
    Slot& slot = slots_.at(control);
    updates.push_back({control, slot.value, slot.enabled, slot.interval, slot.arming, slot.dimmed});
    slot.queued = false;
  }
  changed_.clear();
  return updates;
}

template int ControlStore::get(int, int*) const;
template int ControlStore::get(int, double*) const;
template int ControlStore::set(int, int, bool*);
template int ControlStore::set(int, double, bool*);
template void ControlStore::setFromWidget(int, int);
template void ControlStore::setFromWidget(int, double);
template int ControlStore::getAttribute(int, int, int*) const;
template int ControlStore::getAttribute(int, int, double*) const;
template int ControlStore::setAttribute(int, int, int, bool*);
template int ControlStore::setAttribute(int, int, double, bool*);

}  // namespace runtime_impl
