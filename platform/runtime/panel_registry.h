// The loaded panels by handle. A panel's store is shared by every thread; its view belongs
// to the GUI thread and goes before the panel itself when the panel is discarded.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "control_store.h"
#include "panel_form.h"
#include "panel_view.h"

namespace runtime_impl {

class Panel : public std::enable_shared_from_this<Panel> {
 public:
  Panel(int handle, const PanelForm& form, std::unordered_map<int, CtrlCallbackPtr> callbacks)
      : handle(handle), closeCtrl(form.closeCtrl), callbacks(std::move(callbacks)), store(form.controls) {}

  // GUI thread: shows the store's changes now.
  void flush();
  // Any thread: has the GUI thread flush soon.
  void requestFlush();

  const int handle;
  const int closeCtrl;
  const std::unordered_map<int, CtrlCallbackPtr> callbacks;  // of the timers, by control id
  ControlStore store;
  std::unique_ptr<PanelView> view;  // GUI thread only

  // Any thread: records `text` as the one asked for the plain label `name`; false when it
  // already was, so that an unchanged text costs the GUI thread nothing.
  bool changeLabelText(const std::string& name, const std::string& text) {
    std::lock_guard lock(labelMutex_);
    auto [at, inserted] = labelTexts_.try_emplace(name, text);
    if (inserted) return true;
    if (at->second == text) return false;
    at->second = text;
    return true;
  }

 private:
  std::mutex labelMutex_;
  std::unordered_map<std::string, std::string> labelTexts_;
};

namespace panels {

int newHandle();
void insert(std::shared_ptr<Panel> panel);
// Any thread; null for an unknown handle.
std::shared_ptr<Panel> find(int handle);
// Takes the panel out of the registry; null for an unknown handle.
std::shared_ptr<Panel> remove(int handle);

}  // namespace panels
}  // namespace runtime_impl
