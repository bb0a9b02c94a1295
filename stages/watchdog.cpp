// The motion watchdog (a timer control on the panel) and the two completion waits that it
// bounds. One watchdog serves all axes, so at most one wait may run at a time.
#include <cstdio>

#include "completion_wake.h"
#include "gui_runtime.h"
#include "isc_motion.h"
#include "lts.h"
#include "panel_ids.h"

std::atomic<int> LTSTimerOut{0};
// 1 when the last completion wait ended on the watchdog rather than on its message.
static std::atomic<int> lastWaitTimedOut{0};
// Raised by LTS_AbortWait: waits end without reading on and without a time-out line.
static std::atomic<bool> waitAborted{false};

int LTS_LastWaitTimedOut(void) { return lastWaitTimedOut.load(); }

void LTS_AbortWait(void) {
  waitAborted.store(true);
  wakeCompletionWait();  // raised first, so the woken wait sees it
}

void LTS_ClearAbort(void) { waitAborted.store(false); }

void LTS_Tmlnk(int tout) {
  LTSTimerOut.store(0);
  const double seconds = static_cast<double>(static_cast<float>(tout)) / 1000.0;
  SetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_INTERVAL, seconds);
  SetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, 1);
}

void LTS_Tmulk(void) {
  SetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, 0);
  LTSTimerOut.store(0);
}

int LTS_Timeout(int, int, int event, void*, int, int) {
  if (event == EVENT_TIMER_TICK) {
    LTSTimerOut.store(1);
    printf("LTS timeout\n");
  }
  return 0;
}

// Reads the axis's message queue until the completion message (type 2, `completionId`)
// arrives or the watchdog ticks. Other messages are read and dropped; the queue is polled
// every 250 ms while empty, sooner when the message callback reports a message; once the
// watchdog has ticked, or the wait is aborted, nothing more is read.
static void waitForMessage(int i, int tout, WORD completionId) {
  const char* serial = serialNumbers[i];
  WORD messageType = 0;
  WORD messageId = 0;
  DWORD messageData = 0;
  int condition = 0;
  lastWaitTimedOut.store(0);
  LTS_Tmlnk(tout);
  while (condition == 0) {
    for (;;) {
      const unsigned long long seen = completionWakes();
      if (waitAborted.load() || ISC_MessageQueueSize(serial) != 0) break;
      sleepUntilWoken(250, seen);
      if (LTSTimerOut.load() != 0 || waitAborted.load()) break;
    }
    if (waitAborted.load()) break;
    if (LTSTimerOut.load() != 0) {
      lastWaitTimedOut.store(1);
      printf("Timeout in axis [%d] pos: %f messageType %d, messageId %d\n", i,
             LTS_GetPosition(i), messageType, messageId);
      break;
    }
    ISC_GetNextMessage(serial, &messageType, &messageId, &messageData);
    condition = (messageType == MOT_GenericMotorMessage && messageId == completionId) ? 1 : 0;
  }
  LTS_Tmulk();
}

void LTS_waitHome(int i, int tout) { waitForMessage(i, tout, MOT_Homed); }

void LTS_waitMove(int i, int tout) { waitForMessage(i, tout, MOT_Moved); }
