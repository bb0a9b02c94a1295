// The controls a panel has, by id.
#include <algorithm>

#include "gui_runtime.h"
#include "panel_registry.h"

int GetPanelControlIds(int panel, int* ids, int capacity) {
  const std::shared_ptr<runtime_impl::Panel> p = runtime_impl::panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  if (capacity < 0 || (capacity > 0 && !ids)) return UIE_BAD_ARGUMENT;
  const std::vector<int> all = p->store.ids();
  std::copy_n(all.begin(), std::min<std::size_t>(all.size(), std::size_t(capacity)), ids);
  return int(all.size());
}
