// The scan map's calls: any thread changes the map's state under its lock; the GUI thread
// draws it, then pauses at least kRedrawPause and four times as long as the draw took, so the
// map never keeps the GUI thread (and the operator's buttons) busy more than a fifth of the
// time, however fast the scan visits points.
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "panel_registry.h"
#include "platform_clock.h"
#include "scan_map_view.h"

namespace runtime_impl {
namespace {

constexpr std::chrono::milliseconds kRedrawPause(50);  // real time between two draws

struct MapEntry {
  std::mutex mutex;
  ScanMapState state;    // guarded by mutex
  bool drawing = false;  // guarded: a draw is queued, or the pause after one runs
  unsigned drawn = 0;    // GUI thread: the change count last drawn
  unsigned changes = 0;  // guarded: bumped by every change
};

struct Maps {
  std::mutex mutex;
  std::map<std::pair<int, int>, std::shared_ptr<MapEntry>> entries;
};

Maps& maps() {
  static Maps& m = *new Maps;
  return m;
}

// The map control `control` of `panel`, made on first use; a negative code when there is none.
int findMap(int panel, int control, std::shared_ptr<MapEntry>* entry) {
  const std::shared_ptr<Panel> p = panels::find(panel);
  if (!p) return UIE_BAD_PANEL;
  int kind = 0;
  if (p->store.getAttribute(control, ATTR_CTRL_KIND, &kind) < 0 || kind != CTRL_KIND_SCAN_MAP) {
    return UIE_BAD_CONTROL;
  }
  Maps& m = maps();
  std::lock_guard lock(m.mutex);
  std::shared_ptr<MapEntry>& slot = m.entries[{panel, control}];
  if (!slot) slot = std::make_shared<MapEntry>();
  *entry = slot;
  return 0;
}

ScanMap* mapWidget(int panel, int control) {
  const std::shared_ptr<Panel> p = panels::find(panel);
  return p && p->view ? qobject_cast<ScanMap*>(p->view->control(control)) : nullptr;
}

// GUI thread: draws the latest state, then pauses; a change during the pause is drawn after it.
void drawThenPause(int panel, int control, std::shared_ptr<MapEntry> entry) {
  ScanMapState state;
  {
    std::lock_guard lock(entry->mutex);
    state = entry->state;
    entry->drawn = entry->changes;
  }
  const double start = platform_clock::now();
  if (ScanMap* widget = mapWidget(panel, control)) {
    widget->draw(state);
    widget->viewport()->repaint();  // painted now, so that its cost is measured here
  }
  const auto took = platform_clock::realDuration(platform_clock::now() - start);
  const auto pause = std::max<std::chrono::milliseconds>(
      kRedrawPause, std::chrono::ceil<std::chrono::milliseconds>(4 * took));
  QTimer::singleShot(pause, QCoreApplication::instance(), [panel, control, entry] {
    {
      std::lock_guard lock(entry->mutex);
      if (entry->changes == entry->drawn) {
        entry->drawing = false;
        return;
      }
    }
    drawThenPause(panel, control, entry);
  });
}

// Any thread: applies `change` to the map's state and has it drawn.
template <typename Change>
int changeMap(int panel, int control, Change&& change) {
  std::shared_ptr<MapEntry> entry;
  if (const int result = findMap(panel, control, &entry); result < 0) return result;
  std::lock_guard lock(entry->mutex);
  if (!change(entry->state)) return 0;  // nothing to show anew
  ++entry->changes;
  if (!entry->drawing) {
    entry->drawing = true;
    gui_thread::post([panel, control, entry] { drawThenPause(panel, control, entry); });
  }
  return 0;
}

}  // namespace
}  // namespace runtime_impl

using runtime_impl::ScanMapState;

int SetMapPlane(int panel, int control, const MapPlane* plane) {
  if (!plane) return UIE_BAD_ARGUMENT;
  const MapPlane p = *plane;
  return runtime_impl::changeMap(panel, control, [&p](ScanMapState& s) {
    const qint64 points = qint64(std::max(p.count[0], 0)) * std::max(p.count[1], 0);
    for (int k = 0; k < 2; k++) {
      s.count[k] = std::max(p.count[k], 0);
      s.start[k] = p.start[k];
      s.step[k] = p.step[k];
    }
    s.plane = p.index;
    s.planes = p.planes;
    s.z = p.z;
    s.outcome.assign(points <= kMaxMapPoints ? std::size_t(points) : 0, MAP_POINT_PLANNED);
    ++s.gridVersion;
    ++s.outcomeVersion;
    return true;
  });
}

int SetMapPoint(int panel, int control, int ix, int iy, int outcome) {
  if (outcome < MAP_POINT_PLANNED || outcome > MAP_POINT_TIMED_OUT) return UIE_BAD_ARGUMENT;
  int result = 0;
  const int changed = runtime_impl::changeMap(panel, control, [&](ScanMapState& s) {
    if (ix < 0 || iy < 0 || ix >= s.count[0] || iy >= s.count[1]) {
      result = UIE_BAD_ARGUMENT;
      return false;
    }
    if (s.outcome.empty()) return false;  // an outline keeps no outcomes
    unsigned char& slot = s.outcome[std::size_t(ix) + std::size_t(iy) * std::size_t(s.count[0])];
    if (slot == outcome) return false;
    slot = static_cast<unsigned char>(outcome);
    ++s.outcomeVersion;
    return true;
  });
  return changed < 0 ? changed : result;
}

int SetMapMarker(int panel, int control, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return UIE_BAD_ARGUMENT;
  return runtime_impl::changeMap(panel, control, [x, y](ScanMapState& s) {
    if (s.marker && s.markerAt[0] == x && s.markerAt[1] == y) return false;
    s.marker = true;
    s.markerAt[0] = x;
    s.markerAt[1] = y;
    ++s.markerVersion;
    return true;
  });
}
