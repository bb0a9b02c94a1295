// Waits in platform-clock time; they process no events, except on the GUI thread while a
// shown panel waits for the event loop's first run (the stages connecting at start-up): then
// they keep the windows painted and up to date and run nothing of the program. Operator input
// is dropped, timer callbacks and tasks for the program wait for the loop.
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>

#include "gui_runtime.h"
#include "gui_thread.h"
#include "input_hold.h"
#include "platform_clock.h"

namespace {

void sleepOnGuiThread(double seconds) {
  using std::chrono::milliseconds;
  runtime_impl::input_hold::holdUntilLoopRuns();
  const runtime_impl::gui_thread::DisplayOnlyScope displayOnly;
  const double deadline = platform_clock::now() + seconds;
  QTimer alarm;  // wakes the event processing at the deadline
  alarm.setSingleShot(true);
  alarm.setTimerType(Qt::PreciseTimer);
  for (;;) {
    const double left = deadline - platform_clock::now();
    if (!(left > 0.0)) return;
    const auto real = std::chrono::ceil<milliseconds>(platform_clock::realDuration(left));
    alarm.start(std::clamp(real, milliseconds(1), milliseconds(std::chrono::hours(1))));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  }
}

void sleep(double seconds) {
  if (runtime_impl::gui_thread::isCurrent() && runtime_impl::input_hold::waitingForLoop()) {
    sleepOnGuiThread(seconds);
  } else {
    platform_clock::sleepFor(seconds);
  }
}

}  // namespace

void Sleep(unsigned long milliseconds) { sleep(double(milliseconds) / 1000.0); }

void Delay(double seconds) { sleep(seconds); }
