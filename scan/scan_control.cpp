// Start, stop and end of the scan worker on the pool thread.
#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "scan.h"

std::atomic<int> ctrl_c{0};
std::atomic<int> scanAbort{0};
CmtThreadPoolHandle poolHandle = 0;
int tfID = 0;
int rID = 0;

void ScanStartRow(void) {
  int enabled = 1;
  const unsigned int LTS_Enabled = 0x80000000u;
  for (int axis = 0; axis < 3; axis++) {
    if ((LTS_GetStatus(axis) & LTS_Enabled) == 0) enabled = 0;
  }
  if (enabled == 0) {
    MessagePopup("Error", "Enable LTS Stages First");
    return;
  }
  SetCtrlVal(p1_h, PANEL_MOVELED, 0);
  // The scan counts as running from the moment it is scheduled: the event loop's gate then
  // drops a second start or a quit before the worker has switched the indicator on itself.
  SetCtrlVal(p1_h, PANEL_SCANLED, 1);
  // An abort of an earlier scan must not reach this one. Lowered here, before the worker
  // exists, rather than by the worker, so that an abort arriving between scheduling and the
  // worker's start is kept.
  scanAbort.store(0);
  LTS_ClearAbort();
  const int scheduled = CmtScheduleThreadPoolFunctionAdv(poolHandle, daq, &rID, -99, EndOfThread,
                                                         EVENT_TP_THREAD_FUNCTION_END, nullptr, 0,
                                                         &tfID);
  // No worker will run, so nobody else would switch the indicator off again.
  if (scheduled < 0) SetCtrlVal(p1_h, PANEL_SCANLED, 0);
}

void EndOfThread(CmtThreadPoolHandle, int, unsigned int, int, void*) {
  SetCtrlVal(p1_h, PANEL_SCANLED, 0);
  ctrl_c.store(0);
}

void ScanAbort(void) {
  ctrl_c.store(1);
  scanAbort.store(1);
  LTS_AbortWait();
  for (int axis = 0; axis < 3; axis++) LTS_StopProfiled(axis);
}

void ScanWaitForEnd(void) {
  if (tfID != 0) CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
}
