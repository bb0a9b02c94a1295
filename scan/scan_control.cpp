// Start, stop and end of the scan worker on the pool thread.
#include <cstdio>
#include <string>

#include "grid.h"
#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "record_file.h"
#include "run_state.h"
#include "scan.h"
#include "scan_gate.h"
#include "soft_limits.h"

CmtThreadPoolHandle poolHandle = 0;
int tfID = 0;
int rID = 0;

// Refuses, with one printed line and the pop-up, a grid whose points leave the soft limits.
static bool gridWithinLimits(void) {
  GridOutside out{};
  if (!GridLeavesLimits(ReadScanGrid(), &out)) return true;
  char where[160];
  std::snprintf(where, sizeof where, "%c index %d at %g mm is outside its soft limits %s",
                AxisName(out.axis), out.index, out.position, SoftLimitRange(out.axis).c_str());
  printf("Scan refused, nothing moved: %s\n", where);
  const std::string message = std::string("The scan grid leaves the soft limits, so the scan "
                                          "does not start.\n\n") + where + ".";
  MessagePopup("Error", message.c_str());
  return false;
}

void ScanStartRow(void) {
  int enabled = 1;
  std::string disabled;
  const unsigned int LTS_Enabled = 0x80000000u;
  for (int axis = 0; axis < 3; axis++) {
    if ((LTS_GetStatus(axis) & LTS_Enabled) != 0) continue;
    enabled = 0;
    disabled += std::string(disabled.empty() ? "" : ", ") + AxisName(axis);
  }
  if (enabled == 0) {
    printf("Scan refused: stage %s disabled\n", disabled.c_str());
    MessagePopup("Error", "Enable LTS Stages First");
    return;
  }
  if (!gridWithinLimits()) return;
  std::string path;
  std::string reason;
  if (!RecordCreate(&path, &reason)) {
    const std::string message =
        "The scan record cannot be created, so the scan does not start.\n\n" + path + "\n" + reason;
    MessagePopup("Scan record", message.c_str());
    return;
  }
  SetCtrlVal(p1_h, PANEL_MOVELED, 0);
  // The scan counts as running from the moment it is scheduled: the event loop's gate then
  // drops a second start or a quit before the worker has switched the indicator on itself.
  ScanScheduled(true);
  SetCtrlVal(p1_h, PANEL_SCANLED, 1);
  DimDroppedControls();
  // An abort of an earlier scan must not reach this one's waits. Lowered here, before the
  // worker exists, rather than by the worker, so that an abort arriving between scheduling and
  // the worker's start is kept.
  LTS_ClearAbort();
  const int scheduled = CmtScheduleThreadPoolFunctionAdv(poolHandle, daq, &rID, -99, EndOfThread,
                                                         EVENT_TP_THREAD_FUNCTION_END, nullptr, 0,
                                                         &tfID);
  // No worker will run, so nobody else would switch the indicator off again.
  if (scheduled < 0) {
    ScanScheduled(false);
    SetCtrlVal(p1_h, PANEL_SCANLED, 0);
    RestoreDroppedControls();
  }
}

void EndOfThread(CmtThreadPoolHandle, int, unsigned int, int, void*) {
  ScanEnded();
  SetCtrlVal(p1_h, PANEL_SCANLED, 0);
  ScanClearRequest();
  // Last: until now the dimmed buttons, the start among them, could not be clicked.
  RestoreDroppedControls();
}

void ScanAbort(void) {
  ScanRequestAbort();
  // The stages first: the worker woken by the wait's end competes for the processor.
  StopAllStages();
  LTS_AbortWait();
}

void StopAllStages(void) {
  for (int axis = 0; axis < 3; axis++) LTS_StopProfiled(axis);
}

void ScanWaitForEnd(void) {
  if (tfID != 0) CmtWaitForThreadPoolFunctionCompletion(poolHandle, tfID, 0);
}
