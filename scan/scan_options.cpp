#include "scan_options.h"

#include "gui_runtime.h"
#include "panel_ids.h"

ScanOptions ReadScanOptions(void) {
  int serpentine = 0;
  int returnToStart = 0;
  GetCtrlVal(p1_h, PANEL_SERPENTINE, &serpentine);
  GetCtrlVal(p1_h, PANEL_RETURN_TO_START, &returnToStart);
  return {serpentine != 0, returnToStart != 0};
}

void ReadDisplayedPositions(double position[3]) {
  for (int k = 0; k < 3; k++) GetCtrlVal(p1_h, dpos[k], &position[k]);
}
