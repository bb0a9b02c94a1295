#include "gui_thread.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace runtime_impl::gui_thread {
namespace {

struct State {
  // Readable while a wake is pending; watched by a socket notifier on the main thread.
  const int eventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  std::atomic<bool> signalled{false};  // a wake is written and not yet taken
  std::mutex mutex;
  std::vector<std::function<void()>> tasks;
  std::atomic<bool> attached{false};
  std::thread::id guiThread;  // written before `attached` is set
};

// Never destroyed: pool and reader threads may post until the process ends.
State& state() {
  static State& s = *new State;
  return s;
}

void runTasks() {
  State& s = state();
  // Take the pending wake, then allow the next one: a wake asked for in between finds the
  // flag still set and writes nothing, but its task or event is queued already and is taken
  // after this.
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = read(s.eventFd, &count, sizeof count);
  s.signalled.store(false);
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(s.mutex);
    tasks.swap(s.tasks);
  }
  for (const auto& task : tasks) task();
}

}  // namespace

void attach() {
  State& s = state();
  if (s.attached.load()) return;
  s.guiThread = std::this_thread::get_id();
  auto* notifier = new QSocketNotifier(s.eventFd, QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, &runTasks);
  s.attached.store(true);
}

bool isCurrent() {
  const State& s = state();
  return s.attached.load() && s.guiThread == std::this_thread::get_id();
}

void post(std::function<void()> task) {
  State& s = state();
  {
    std::lock_guard lock(s.mutex);
    s.tasks.push_back(std::move(task));
  }
  wake();
}

void wake() {
  State& s = state();
  if (s.signalled.exchange(true)) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = write(s.eventFd, &one, sizeof one);
}

}  // namespace runtime_impl::gui_thread
