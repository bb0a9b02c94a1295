#include "panel_registry.h"

#include <mutex>
#include <unordered_map>

#include "gui_thread.h"
#include "runtime_testing.h"

namespace runtime_impl {

void Panel::flush() {
  if (view) view->flush();
}

void Panel::requestFlush() {
  gui_thread::postDisplay([panel = weak_from_this()] {
    if (const std::shared_ptr<Panel> p = panel.lock()) p->flush();
  });
}

namespace panels {
namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<int, std::shared_ptr<Panel>> panels;
  int lastHandle = 0;
};

Registry& registry() {
  static Registry& r = *new Registry;
  return r;
}

}  // namespace

int newHandle() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  return ++r.lastHandle;
}

void insert(std::shared_ptr<Panel> panel) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.panels.emplace(panel->handle, std::move(panel));
}

std::shared_ptr<Panel> find(int handle) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto it = r.panels.find(handle);
  return it == r.panels.end() ? nullptr : it->second;
}

std::shared_ptr<Panel> remove(int handle) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  const auto it = r.panels.find(handle);
  if (it == r.panels.end()) return nullptr;
  std::shared_ptr<Panel> panel = std::move(it->second);
  r.panels.erase(it);
  return panel;
}

}  // namespace panels
}  // namespace runtime_impl

QWidget* runtime_testing::panelWidget(int panel) {
  const auto p = runtime_impl::panels::find(panel);
  return p && p->view ? p->view->window() : nullptr;
}

QWidget* runtime_testing::controlWidget(int panel, int control) {
  const auto p = runtime_impl::panels::find(panel);
  return p && p->view ? p->view->control(control) : nullptr;
}
