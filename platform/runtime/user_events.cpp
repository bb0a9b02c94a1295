// The user-event queue: filled from any thread, emptied by the main thread's GetUserEvent.
#include <QCoreApplication>

#include <deque>
#include <mutex>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "runtime_testing.h"

namespace {

struct UserEvent {
  int number;
  int panel;
  int control;
};

struct Queue {
  std::mutex mutex;
  std::deque<UserEvent> events;
  std::size_t queued = 0;  // ever
};

Queue& queue() {
  static Queue& q = *new Queue;
  return q;
}

bool pop(UserEvent* event) {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  if (q.events.empty()) return false;
  *event = q.events.front();
  q.events.pop_front();
  return true;
}

}  // namespace

int QueueUserEvent(int eventNumber, int panel, int control) {
  {
    Queue& q = queue();
    std::lock_guard lock(q.mutex);
    q.events.push_back({eventNumber, panel, control});
    q.queued++;
  }
  runtime_impl::gui_thread::wake();
  return 0;
}

int GetUserEvent(int waitMode, int* panel, int* control) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  // Pending GUI work runs first even when an event is already queued, so a busy queue
  // cannot starve the panel's repaints and timers.
  QCoreApplication::processEvents();
  UserEvent event{};
  while (!pop(&event)) {
    if (waitMode == 0) return 0;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  if (panel) *panel = event.panel;
  if (control) *control = event.control;
  return event.number;
}

std::size_t runtime_testing::pendingEvents() {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  return q.events.size();
}

void runtime_testing::clearEvents() {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  q.events.clear();
}

std::size_t runtime_testing::queuedEventCount() {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  return q.queued;
}
