#include "status_display.h"

#include "axis_state.h"
#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "run_state.h"

void LTS_SetStatus(int nid) {
  // The word is shown as an int with its bits unchanged.
  int status = static_cast<int>(LTS_GetStatus(nid));
  SetCtrlVal(p1_h, dstat[nid], status);
  SetPanelText(p1_h, kAxisStateLabel[nid], AxisStateText(static_cast<unsigned int>(status)));
  SetCtrlVal(p1_h, lid[nid][12], (status & (1 << 29)) != 0 ? 1 : 0);
  SetCtrlVal(p1_h, lid[nid][13], status < 0 ? 1 : 0);  // bit 31
  unsigned int bits = static_cast<unsigned int>(status);
  for (int i = 0; i < 12; i++) {
    SetCtrlVal(p1_h, lid[nid][i], static_cast<int>(bits & 1u));
    bits >>= 1;
  }
}

void RefreshDisplay(void) {
  for (int k = 0; k < 3; k++) {
    const double position = LTS_GetPosition(k);
    SetCtrlVal(p1_h, dpos[k], position);
    LTS_SetStatus(k);
  }
}

int TimerCB(int, int, int event, void*, int, int) {
  if (event != EVENT_TIMER_TICK) return 0;
  // While a request still waits, a tick queues no other: one refresh shows the latest state,
  // so a loop held up (by a pop-up, say) finds one request, not a backlog ahead of the
  // operator's next press. Only this thread takes events, so the request cannot go between.
  if (!ScanRunning() && UserEventPending(1, p1_h, PANEL_REFRESH) == 0) {
    QueueUserEvent(1, p1_h, PANEL_REFRESH);
  }
  return 0;
}
