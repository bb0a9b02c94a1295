// Termination requests: a signal (POSIX) or a console control event (Windows) becomes one
// call of the program's handler on the main thread, where the program can act on it safely.
#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include <atomic>
#include <mutex>

#include "gui_runtime.h"
#include "gui_thread.h"

namespace {

std::atomic<void (*)(void)> programHandler{nullptr};
// Raised by the first request; a request that finds it raised ends the process. Lock-free,
// so the signal handler may use it.
std::atomic<int> requested{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Main thread: hands the request to the program. A modal pop-up would keep the program's
// loop from seeing it until an operator answers, so it is closed.
void takeRequest() {
  if (auto handler = programHandler.load()) handler();
  if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
}

#ifdef _WIN32

BOOL WINAPI onConsoleEvent(DWORD) {
  if (requested.exchange(1) != 0) TerminateProcess(GetCurrentProcess(), 1);
  runtime_impl::gui_thread::post(&takeRequest);
  return TRUE;
}

void install() { SetConsoleCtrlHandler(&onConsoleEvent, TRUE); }

#else

// Written by the signal handler, read on the main thread: the self-pipe.
int wakeFds[2] = {-1, -1};

extern "C" void onSignal(int signal) {
  if (requested.exchange(1) != 0) {
    // Delivered with the default disposition once this handler returns: the process ends.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = write(wakeFds[1], &byte, 1);
  errno = savedErrno;
}

void install() {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, wakeFds) != 0) return;
  auto* notifier = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
    char bytes[16];
    while (read(wakeFds[0], bytes, sizeof bytes) > 0) {
    }
    takeRequest();
  });
  struct sigaction action {};
  action.sa_handler = &onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // other threads' blocking calls carry on
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

#endif

}  // namespace

int SetTerminationHandler(void (*handler)(void)) {
  if (!runtime_impl::gui_thread::isCurrent()) return UIE_NOT_INITIALISED;
  static std::once_flag installed;
  std::call_once(installed, &install);
  programHandler.store(handler);
  requested.store(0);
  return 0;
}
