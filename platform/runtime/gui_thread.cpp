#include "gui_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "runtime_testing.h"

namespace runtime_impl::gui_thread {
namespace {

// Lives on the main thread; each wake-up event it receives runs the posted tasks.
class Runner : public QObject {
 public:
  static inline const QEvent::Type wakeType = QEvent::Type(QEvent::registerEventType());

 protected:
  // Only wake-up events are posted to the runner, and Qt routes them here. The event itself
  // is not read: it was made on the posting thread and reached this one through Qt's own
  // queue, whose lock a thread checker cannot see.
  void customEvent(QEvent*) override;
};

struct State {
  std::atomic<bool> signalled{false};  // a wake-up event is posted and not yet taken
  std::mutex mutex;
  std::vector<std::function<void()>> tasks;
  std::vector<std::function<void()>> displayTasks;
  int displayOnlyDepth = 0;  // GUI thread only
  Runner* runner = nullptr;  // guarded by mutex; set once by attach()
  std::atomic<bool> attached{false};
  std::thread::id guiThread;  // written before `attached` is set
  std::function<void()> takenHook;  // GUI thread only; see runtime_testing::setTasksTakenHook
};

// Never destroyed: pool and reader threads may post until the process ends.
State& state() {
  static State& s = *new State;
  return s;
}

void postWakeUp(Runner* runner) { QCoreApplication::postEvent(runner, new QEvent(Runner::wakeType)); }

void Runner::customEvent(QEvent*) {
  State& s = state();
  // Take the pending wake, then allow the next one: a wake asked for in between finds the
  // flag still set and posts nothing, but its task or event is queued already and is taken
  // after this.
  s.signalled.store(false);
  std::vector<std::function<void()>> displayTasks;
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(s.mutex);
    displayTasks.swap(s.displayTasks);
    if (s.displayOnlyDepth == 0) tasks.swap(s.tasks);
  }
  if (s.takenHook) s.takenHook();
  for (const auto& task : displayTasks) task();
  for (const auto& task : tasks) task();
}

void enqueue(std::vector<std::function<void()>> State::*queue, std::function<void()> task) {
  State& s = state();
  {
    std::lock_guard lock(s.mutex);
    (s.*queue).push_back(std::move(task));
  }
  wake();
}

}  // namespace

void attach() {
  State& s = state();
  if (s.attached.load()) return;
  s.guiThread = std::this_thread::get_id();
  {
    // Not parented to the application: a wake from a late thread must never reach a freed
    // object.
    std::lock_guard lock(s.mutex);
    s.runner = new Runner;
    // Wakes asked for before now posted nothing; take them up.
    if (s.signalled.load()) postWakeUp(s.runner);
  }
  s.attached.store(true);
}

bool isCurrent() {
  const State& s = state();
  return s.attached.load() && s.guiThread == std::this_thread::get_id();
}

void post(std::function<void()> task) { enqueue(&State::tasks, std::move(task)); }

void postDisplay(std::function<void()> task) { enqueue(&State::displayTasks, std::move(task)); }

DisplayOnlyScope::DisplayOnlyScope() {
  std::lock_guard lock(state().mutex);
  state().displayOnlyDepth++;
}

DisplayOnlyScope::~DisplayOnlyScope() {
  State& s = state();
  bool waiting = false;
  {
    std::lock_guard lock(s.mutex);
    waiting = --s.displayOnlyDepth == 0 && !s.tasks.empty();
  }
  // Tasks held back meanwhile run at the next event processing.
  if (waiting) wake();
}

bool displayOnly() {
  std::lock_guard lock(state().mutex);
  return state().displayOnlyDepth > 0;
}

void wake() {
  State& s = state();
  if (s.signalled.exchange(true)) return;
  std::lock_guard lock(s.mutex);
  if (s.runner) postWakeUp(s.runner);
}

}  // namespace runtime_impl::gui_thread

void runtime_testing::setTasksTakenHook(std::function<void()> hook) {
  runtime_impl::gui_thread::state().takenHook = std::move(hook);
}
