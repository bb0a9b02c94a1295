#include "dispatch.h"

#include <cstdio>

#include "bookmarks.h"
#include "gui_runtime.h"
#include "lts.h"
#include "manual.h"
#include "panel_ids.h"
#include "record_file.h"
#include "scan.h"
#include "status_display.h"
#include "typed_grid.h"

// Reads the typed target of axis `i` just before its move; the move does not wait.
static void goTo(int i, int targetControl) {
  double v = 0.0;
  GetCtrlVal(p1_h, targetControl, &v);
  GoToChecked(i, v);
}

void DispatchEvent(int evcontrl) {
  switch (evcontrl) {
    case PANEL_DISABLE_Z: LTS_Disable(2); break;
    case PANEL_ENABLE_Z: LTS_Enable(2); break;
    case PANEL_DISABLE_Y: LTS_Disable(1); break;
    case PANEL_ENABLE_Y: LTS_Enable(1); break;
    case PANEL_STOP_Z: LTS_StopProfiled(2); break;
    case PANEL_STOP_Y: LTS_StopProfiled(1); break;
    case PANEL_STOP_X: LTS_StopProfiled(0); break;
    case PANEL_DISABLE_X: LTS_Disable(0); break;
    case PANEL_ENABLE_X: LTS_Enable(0); break;
    case PANEL_HOME_Z: LTS_Home(2, 0); break;
    case PANEL_HOME_Y: LTS_Home(1, 0); break;
    case PANEL_HOME_X: LTS_Home(0, 0); break;
    case PANEL_RST_1:
    case PANEL_RST_2:
    case PANEL_RST_3: printf("RST Not yet implemented\n"); break;
    case PANEL_JOG_Z_PLUS: Jog(2, +1); break;
    case PANEL_JOG_Y_MINUS: Jog(1, -1); break;
    case PANEL_JOG_Z_MINUS: Jog(2, -1); break;
    case PANEL_JOG_X_PLUS: Jog(0, +1); break;
    case PANEL_JOG_Y_PLUS: Jog(1, +1); break;
    case PANEL_JOG_X_MINUS: Jog(0, -1); break;
    case PANEL_GOTO_Z: goTo(2, PANEL_TARGET_Z); break;
    case PANEL_GOTO_Y: goTo(1, PANEL_TARGET_Y); break;
    case PANEL_GOTO_X: goTo(0, PANEL_TARGET_X); break;
    case PANEL_GOTO_ALL:
      goTo(0, PANEL_TARGET_X);
      goTo(1, PANEL_TARGET_Y);
      goTo(2, PANEL_TARGET_Z);
      break;
    case PANEL_REFRESH:
      RefreshDisplay();
      ShowTypedGrid();
      break;
    case PANEL_SCAN_START: ScanStartRow(); break;
    case PANEL_RECORD_FOLDER: ChooseRecordFolder(); break;
    case PANEL_BOOKMARK_MARK: BookmarkMark(); break;
    case PANEL_BOOKMARK_GOTO: BookmarkGoTo(); break;
    case PANEL_BOOKMARK_DELETE: BookmarkDelete(); break;
    case PANEL_SCAN_ABORT: StopAllStages(); break;  // no scan runs: the stages' stop alone
    case PANEL_JOG_STEP_0_01: SetJogStep(0.01); break;
    case PANEL_JOG_STEP_0_1: SetJogStep(0.1); break;
    case PANEL_JOG_STEP_1: SetJogStep(1.0); break;
    case PANEL_JOG_STEP_10: SetJogStep(10.0); break;
    case PANEL_LIMITS: EditSoftLimits(); break;
    case PANEL_STOP_ALL: StopAllStages(); break;
    default: break;
  }
}
