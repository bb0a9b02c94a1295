// Control values and attributes, from any thread: stored at once in the panel's store; the
// widgets follow on the GUI thread.
#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"
#include "runtime_testing.h"

namespace {

using runtime_impl::Panel;

template <typename T>
int getValue(int panel, int control, T* value) {
  if (!value) return UIE_BAD_ARGUMENT;
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  return p ? p->store.get(control, value) : UIE_BAD_PANEL;
}

template <typename T>
int setValue(int panel, int control, T value) {
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  bool postFlush = false;
  const int result = p->store.set(control, value, &postFlush);
  if (postFlush) p->requestFlush();
  return result;
}

template <typename T>
int getAttribute(int panel, int control, int attribute, T* value) {
  if (!value) return UIE_BAD_ARGUMENT;
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  return p ? p->store.getAttribute(control, attribute, value) : UIE_BAD_PANEL;
}

template <typename T>
int setAttribute(int panel, int control, int attribute, T value) {
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  bool postFlush = false;
  // Off the GUI thread a tick under way ends first (the GUI thread's own ticks are not
  // under way while it sets an attribute, unless from inside one).
  std::unique_lock<std::mutex> ticks;
  if (!runtime_impl::gui_thread::isCurrent()) ticks = p->store.holdTicks();
  const int result = p->store.setAttribute(control, attribute, value, &postFlush);
  if (ticks) ticks.unlock();
  // On the GUI thread a timer restarts now, so its next tick is one interval after this call.
  if (result == 0 && runtime_impl::gui_thread::isCurrent()) {
    p->flush();
  } else if (postFlush) {
    p->requestFlush();
  }
  return result;
}

}  // namespace

int GetCtrlVal(int panel, int control, int* value) { return getValue(panel, control, value); }
int GetCtrlVal(int panel, int control, double* value) { return getValue(panel, control, value); }
int SetCtrlVal(int panel, int control, int value) { return setValue(panel, control, value); }
int SetCtrlVal(int panel, int control, double value) { return setValue(panel, control, value); }

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
  return setAttribute(panel, control, attribute, value);
}
int SetCtrlAttribute(int panel, int control, int attribute, double value) {
  return setAttribute(panel, control, attribute, value);
}
int GetCtrlAttribute(int panel, int control, int attribute, int* value) {
  return getAttribute(panel, control, attribute, value);
}
int GetCtrlAttribute(int panel, int control, int attribute, double* value) {
  return getAttribute(panel, control, attribute, value);
}

int GetCtrlAttribute(int panel, int control, int attribute, CtrlCallbackPtr* value) {
  if (!value) return UIE_BAD_ARGUMENT;
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  int kind = 0;
  if (const int result = p->store.getAttribute(control, ATTR_CTRL_KIND, &kind); result < 0) return result;
  if (attribute != ATTR_CALLBACK_FUNCTION) return UIE_WRONG_TYPE;
  const auto callback = p->callbacks.find(control);
  *value = callback == p->callbacks.end() ? nullptr : callback->second;
  return 0;
}

int GetPanelAttribute(int panel, int attribute, int* value) {
  if (!value) return UIE_BAD_ARGUMENT;
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  if (attribute != ATTR_CLOSE_CTRL) return UIE_BAD_ATTRIBUTE;
  *value = p->closeCtrl;
  return 0;
}

void runtime_testing::recordWrites(int panel, int control) {
  if (const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel)) p->store.recordWrites(control);
}

std::vector<double> runtime_testing::writes(int panel, int control) {
  const std::shared_ptr<Panel> p = runtime_impl::panels::find(panel);
  return p ? p->store.writes(control) : std::vector<double>{};
}
