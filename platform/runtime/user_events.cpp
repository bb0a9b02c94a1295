// The user-event queue: filled from any thread, emptied by the main thread's GetUserEvent.
#include "user_events.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "input_hold.h"
#include "runtime_testing.h"

namespace {

struct UserEvent {
  int number;
  int panel;
  int control;
  bool byOperator;
};

struct Queue {
  std::mutex mutex;
  std::deque<UserEvent> events;
  std::size_t operatorEvents = 0;  // waiting in `events`
  std::size_t queued = 0;          // ever
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
  if (event->byOperator) q.operatorEvents--;
  return true;
}

// False, queuing nothing, when the event is the operator's and the operator's bound is reached.
bool push(const UserEvent& event) {
  {
    Queue& q = queue();
    std::lock_guard lock(q.mutex);
    if (event.byOperator) {
      if (q.operatorEvents >= kMaxOperatorEvents) return false;
      q.operatorEvents++;
    }
    q.events.push_back(event);
    q.queued++;
  }
  runtime_impl::gui_thread::wake();
  return true;
}

}  // namespace

void runtime_impl::queueOperatorEvent(int panel, int control) {
  if (push({EVENT_COMMIT, panel, control, true})) return;
  std::fprintf(stderr,
               "Quarlex: %d operator events are waiting to be handled; the press of control %d is dropped\n",
               int(kMaxOperatorEvents), control);
}

int QueueUserEvent(int eventNumber, int panel, int control) {
  push({eventNumber, panel, control, false});
  return 0;
}

int UserEventPending(int eventNumber, int panel, int control) {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  const auto same = [&](const UserEvent& e) {
    return e.number == eventNumber && e.panel == panel && e.control == control;
  };
  return std::any_of(q.events.begin(), q.events.end(), same) ? 1 : 0;
}

int GetUserEvent(int waitMode, int* panel, int* control) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  runtime_impl::input_hold::loopRuns();
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
  q.operatorEvents = 0;
}

std::size_t runtime_testing::queuedEventCount() {
  Queue& q = queue();
  std::lock_guard lock(q.mutex);
  return q.queued;
}
