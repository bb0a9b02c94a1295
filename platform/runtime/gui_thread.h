// Hands work to the GUI (main) thread from any thread. Posted tasks run, in order, from the
// main thread's event processing once attach() has been called; before that they wait.
// The tasks pass from poster to runner only through the run-time's own mutex, so thread
// checkers see every ordering; a Qt posted event only wakes the main thread.
#pragma once

#include <functional>

namespace runtime_impl::gui_thread {

// Main thread, once the QApplication exists: starts running posted tasks there.
void attach();

// True on the thread that called attach().
bool isCurrent();

// Queues `task` for the GUI thread and wakes it.
void post(std::function<void()> task);

// Queues a task that only brings the windows up to date (values shown, lines added) and runs
// nothing of the program: it runs also while the GUI thread sleeps, before tasks posted with
// post().
void postDisplay(std::function<void()> task);

// GUI thread: while one lives, only display tasks run; the others wait for its end.
class DisplayOnlyScope {
 public:
  DisplayOnlyScope();
  ~DisplayOnlyScope();
  DisplayOnlyScope(const DisplayOnlyScope&) = delete;
  DisplayOnlyScope& operator=(const DisplayOnlyScope&) = delete;
};

// GUI thread: true inside a DisplayOnlyScope.
bool displayOnly();

// Wakes the GUI thread's event processing without giving it work.
void wake();

}  // namespace runtime_impl::gui_thread
