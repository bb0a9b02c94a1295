// The program's entry: start-up, the one user-event loop, and shutdown.
#include <cstdio>
#include <string>

#include "bookmarks.h"
#include "dispatch.h"
#include "gui_runtime.h"
#include "lts.h"
#include "manual.h"
#include "message_kind.h"
#include "panel_check.h"
#include "panel_ids.h"
#include "remembered_values.h"
#include "scan.h"
#include "scan_gate.h"

namespace {

const char kPanelFile[] = "Quarlex_ui.uir";
// Exit code when the panel file cannot be used; -1 stays reserved for a run-time that
// cannot start.
constexpr int kExitPanelFault = 2;
// Exit code when another instance runs, and so may hold the stages.
constexpr int kExitAnotherInstance = 3;

// Loads and checks the front panel. Without a usable panel there is nothing to operate the
// stages with, so no stage is opened.
bool loadFrontPanel() {
  p1_h = LoadPanel(0, kPanelFile, PANEL);
  if (p1_h < 0) return false;  // LoadPanel has said why on stderr
  const std::string fault = CheckPanelControls(p1_h);
  if (fault.empty()) return true;
  fprintf(stderr, "Quarlex: panel file \"%s\" does not fit this program: %s\n", kPanelFile,
          fault.c_str());
  return false;
}

// The panel's line above the message log: which stage is being connected, then how the
// connection ended.
const char kConnectionLabel[] = "connectionStatus";
const char kMessageLog[] = "messageLog";
int connectingAxis = 0;

void ShowConnecting(int axis, int count) {
  connectingAxis = axis;
  char text[64];
  snprintf(text, sizeof text, "Connecting %c (%d/%d)...", AxisName(axis), axis + 1, count);
  SetPanelText(p1_h, kConnectionLabel, text);
}

void ShowConnectionResult(int err) {
  char text[96] = "Stages connected";
  if (err != 0) {
    snprintf(text, sizeof text, "Stage %c failed to connect (err=%x)", AxisName(connectingAxis),
             static_cast<unsigned int>(err));
  }
  SetPanelText(p1_h, kConnectionLabel, text);
}

// Set on the main thread when the process is asked to terminate: the session then ends as on
// QUIT, a running scan included, which is aborted first.
bool terminationRequested = false;

void OnTerminationRequest(void) {
  terminationRequested = true;
  if (ScanRunning()) ScanAbort();
  QueueUserEvent(EVENT_COMMIT, p1_h, PANEL_QUIT);  // wakes the loop
}

}  // namespace

int WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
  SetSleepPolicy(3);
  CmtNewThreadPool(10, &poolHandle);
  SetStdioPort(0);
  if (InitCVIRTEEx(hInstance, nullptr, nullptr) == 0) return -1;  // it has said why on stderr
  if (LockSingleInstance("quarlex") == 0) return kExitAnotherInstance;  // it has said why
  terminationRequested = false;
  SetTerminationHandler(OnTerminationRequest);
  if (!loadFrontPanel()) return kExitPanelFault;
  ShowMessageLog(p1_h, kMessageLog, MessageKind);
  // Settings are read from here on: a file that cannot serve is set aside first.
  CheckSettingsFile();
  RestoreBookmarks();
  RestoreTypedValues();
  DisplayPanel(p1_h);
  ManualControlsStart();
  SetActiveCtrl(p1_h, PANEL_QUIT);
  SetActiveCtrl(p1_h, PANEL_RST_3);

  int comled = 0;
  GetCtrlVal(p1_h, PANEL_COMLED, &comled);
  if (comled == 0) {
    SetConnectionProgress(ShowConnecting);
    ShowConnectionResult(LTS_Open());
    SetCtrlVal(p1_h, PANEL_COMLED, 1);
    for (int axis = 0; axis < 3; axis++) LTS_RegisterMessageCallback(axis, MessageCB);
  }

  for (;;) {
    int panel = 0;
    int evcontrl = 0;
    GetUserEvent(1, &panel, &evcontrl);
    if (terminationRequested) break;  // taken before the scan gate, which would drop it
    // Stop-scan raises its request even with no scan running.
    if (ScanEffectOf(evcontrl) == SCAN_EVENT_STOPS) ScanRequestStop();
    if (ScanRunning()) {
      // Abort and the STOP buttons act at once; every other event is dropped (their buttons
      // look dimmed meanwhile).
      if (ScanEffectOf(evcontrl) == SCAN_EVENT_ABORTS) ScanAbort();
      continue;
    }
    if (evcontrl == PANEL_QUIT) break;
    RememberOnUse(evcontrl);
    DispatchEvent(evcontrl);
    Delay(0.001);
  }

  // An aborted scan's worker ends within one poll of its wait; the stages stay open till then.
  if (terminationRequested) ScanWaitForEnd();
  RememberTypedValues();
  GetCtrlVal(p1_h, PANEL_COMLED, &comled);
  if (comled != 0) {
    for (int axis = 0; axis < 3; axis++) LTS_Close(axis);
  }
  return 0;
}
