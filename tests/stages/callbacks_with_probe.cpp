// The timer callbacks of this test program: the program's own, with a probe after the
// watchdog's tick so that a test can act at the exact moment the watchdog has fired.
#include "gui_runtime.h"
#include "lts.h"
#include "probe.h"
#include "status_display.h"

void (*afterWatchdogTick)() = nullptr;

static int watchdogWithProbe(int panel, int control, int event, void* callbackData, int eventData1,
                             int eventData2) {
  const int result = LTS_Timeout(panel, control, event, callbackData, eventData1, eventData2);
  if (event == EVENT_TIMER_TICK && afterWatchdogTick != nullptr) afterWatchdogTick();
  return result;
}

const PanelCallback panelCallbackTable[] = {
    {"TimerCB", TimerCB},
    {"LTS_Timeout", watchdogWithProbe},
    {nullptr, nullptr},
};
