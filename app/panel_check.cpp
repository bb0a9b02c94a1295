#include "panel_check.h"

#include <array>

#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "status_display.h"

namespace {

struct ExpectedControl {
  int id;
  const char* role;
  int kind;
  int dataType;
  int alternativeKind;  // another kind that serves as well, or 0
};

constexpr int kButton = CTRL_KIND_COMMAND_BUTTON;
constexpr int kInput = CTRL_KIND_NUMERIC_INPUT;
constexpr int kIndicator = CTRL_KIND_NUMERIC_INDICATOR;

constexpr ExpectedControl button(int id, const char* role) { return {id, role, kButton, VAL_NO_TYPE, 0}; }
constexpr ExpectedControl led(int id, const char* role) { return {id, role, CTRL_KIND_LED, VAL_INTEGER, 0}; }

constexpr auto kExpected = std::to_array<ExpectedControl>({
    button(PANEL_QUIT, "QUIT button"),
    button(PANEL_DISABLE_Z, "Z disable button"), button(PANEL_ENABLE_Z, "Z enable button"),
    button(PANEL_DISABLE_Y, "Y disable button"), button(PANEL_ENABLE_Y, "Y enable button"),
    button(PANEL_STOP_Z, "Z stop button"), button(PANEL_STOP_Y, "Y stop button"),
    button(PANEL_STOP_X, "X stop button"), button(PANEL_DISABLE_X, "X disable button"),
    button(PANEL_ENABLE_X, "X enable button"), button(PANEL_HOME_Z, "Z home button"),
    button(PANEL_HOME_Y, "Y home button"), button(PANEL_HOME_X, "X home button"),
    button(PANEL_RST_1, "RST 1 button"), button(PANEL_RST_2, "RST 2 button"),
    button(PANEL_RST_3, "RST 3 button"),
    {PANEL_STATUS_Z, "Z status word", kIndicator, VAL_INTEGER, 0},
    {PANEL_STATUS_Y, "Y status word", kIndicator, VAL_INTEGER, 0},
    {PANEL_STATUS_X, "X status word", kIndicator, VAL_INTEGER, 0},
    button(PANEL_JOG_Z_PLUS, "Z jog + button"), button(PANEL_JOG_Y_MINUS, "Y jog - button"),
    button(PANEL_JOG_Z_MINUS, "Z jog - button"), button(PANEL_JOG_X_PLUS, "X jog + button"),
    button(PANEL_JOG_Y_PLUS, "Y jog + button"), button(PANEL_JOG_X_MINUS, "X jog - button"),
    {PANEL_TARGET_X, "X target", kInput, VAL_DOUBLE, 0},
    {PANEL_TARGET_Z, "Z target", kInput, VAL_DOUBLE, 0},
    {PANEL_POS_Z, "Z position", kIndicator, VAL_DOUBLE, 0},
    {PANEL_TARGET_Y, "Y target", kInput, VAL_DOUBLE, 0},
    {PANEL_POS_X, "X position", kIndicator, VAL_DOUBLE, 0},
    {PANEL_POS_Y, "Y position", kIndicator, VAL_DOUBLE, 0},
    button(PANEL_GOTO_Z, "Z go-to button"), button(PANEL_GOTO_Y, "Y go-to button"),
    button(PANEL_GOTO_X, "X go-to button"), button(PANEL_GOTO_ALL, "go-to-all button"),
    led(PANEL_SCANLED, "scan LED"), led(PANEL_MOVELED, "move LED"),
    led(PANEL_COMLED, "connect LED"),
    button(PANEL_SCAN_STOP, "scan stop button"), button(PANEL_SCAN_START, "scan start button"),
    {PANEL_IZ, "z index", kIndicator, VAL_INTEGER, 0},
    {PANEL_IY, "y index", kIndicator, VAL_INTEGER, 0},
    {PANEL_IX, "x index", kIndicator, VAL_INTEGER, 0},
    {PANEL_NZ, "z count", kInput, VAL_INTEGER, 0},
    {PANEL_NY, "y count", kInput, VAL_INTEGER, 0},
    {PANEL_NX, "x count", kInput, VAL_INTEGER, 0},
    {PANEL_Z0, "z start", kInput, VAL_DOUBLE, 0},
    {PANEL_Y0, "y start", kInput, VAL_DOUBLE, 0},
    {PANEL_X0, "x start", kInput, VAL_DOUBLE, 0},
    {PANEL_DZ, "z step", kInput, VAL_DOUBLE, 0},
    {PANEL_DY, "y step", kInput, VAL_DOUBLE, 0},
    {PANEL_DX, "x step", kInput, VAL_DOUBLE, 0},
    {PANEL_CBZ, "z check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0},
    {PANEL_CBY, "y check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0},
    {PANEL_CBX, "x check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0},
    {PANEL_PROGRESS, "scan progress", CTRL_KIND_PROGRESS, VAL_DOUBLE, kIndicator},
    button(PANEL_RECORD_FOLDER, "record folder button"),
    {PANEL_SERPENTINE, "serpentine check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0},
    {PANEL_RETURN_TO_START, "return-to-start check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0},
    {PANEL_BOOKMARK_NAME, "position name", CTRL_KIND_TEXT_INPUT, VAL_STRING, 0},
    {PANEL_BOOKMARK_LIST, "position list", CTRL_KIND_LIST, VAL_STRING, 0},
    button(PANEL_BOOKMARK_MARK, "mark button"), button(PANEL_BOOKMARK_GOTO, "position go-to button"),
    button(PANEL_BOOKMARK_DELETE, "position delete button"),
    {PANEL_SCAN_MAP, "scan map", CTRL_KIND_SCAN_MAP, VAL_NO_TYPE, 0},
    button(PANEL_SCAN_ABORT, "scan abort button"),
    button(PANEL_JOG_STEP_0_01, "jog step 0.01 mm button"),
    button(PANEL_JOG_STEP_0_1, "jog step 0.1 mm button"),
    button(PANEL_JOG_STEP_1, "jog step 1 mm button"),
    button(PANEL_JOG_STEP_10, "jog step 10 mm button"),
    button(PANEL_LIMITS, "soft limits button"), button(PANEL_STOP_ALL, "stop-all button"),
});

// The two timers, each with the callback the program needs it to run: swapped, the watchdog
// would fire five times a second and the refresh every ten seconds.
struct ExpectedTimer {
  int id;
  const char* role;
  CtrlCallbackPtr callback;
};

const auto kTimers = std::to_array<ExpectedTimer>({
    {PANEL_LTSTIMER, "watchdog timer", LTS_Timeout},
    {PANEL_REFRESH, "refresh timer", TimerCB},
});

std::string describe(int id, const char* role) {
  return "control " + std::to_string(id) + " (" + role + ")";
}

std::string check(int panel, const ExpectedControl& c) {
  int kind = 0;
  int dataType = 0;
  if (GetCtrlAttribute(panel, c.id, ATTR_CTRL_KIND, &kind) < 0) {
    return describe(c.id, c.role) + " is missing";
  }
  GetCtrlAttribute(panel, c.id, ATTR_DATA_TYPE, &dataType);
  if ((kind != c.kind && kind != c.alternativeKind) || dataType != c.dataType) {
    return describe(c.id, c.role) + " has the wrong kind or data type";
  }
  return {};
}

// The name the program's callback table gives `function`.
std::string callbackName(CtrlCallbackPtr function) {
  for (const PanelCallback* entry = panelCallbackTable; entry->name; ++entry) {
    if (entry->function == function) return entry->name;
  }
  return "no callback";
}

std::string checkTimer(int panel, const ExpectedTimer& t) {
  std::string fault = check(panel, {t.id, t.role, CTRL_KIND_TIMER, VAL_NO_TYPE, 0});
  if (!fault.empty()) return fault;
  CtrlCallbackPtr callback = nullptr;
  GetCtrlAttribute(panel, t.id, ATTR_CALLBACK_FUNCTION, &callback);
  if (callback == t.callback) return {};
  return describe(t.id, t.role) + " calls " + callbackName(callback) + ", not " + callbackName(t.callback);
}

// Closing the window must act as QUIT and nothing else (a scan start, say).
std::string checkCloseControl(int panel) {
  int closeCtrl = 0;
  GetPanelAttribute(panel, ATTR_CLOSE_CTRL, &closeCtrl);
  if (closeCtrl == PANEL_QUIT) return {};
  return "closing the window presses control " + std::to_string(closeCtrl) + ", not control " +
         std::to_string(PANEL_QUIT) + " (QUIT button)";
}

}  // namespace

std::string CheckPanelControls(int panel) {
  if (std::string fault = checkCloseControl(panel); !fault.empty()) return fault;
  for (const ExpectedTimer& t : kTimers) {
    std::string fault = checkTimer(panel, t);
    if (!fault.empty()) return fault;
  }
  for (const ExpectedControl& c : kExpected) {
    std::string fault = check(panel, c);
    if (!fault.empty()) return fault;
  }
  // The LED grid: three rows of 14.
  for (int axis = 0; axis < 3; axis++) {
    for (int j = 0; j < 14; j++) {
      const std::string role = std::string(1, "XYZ"[axis]) + " status LED " + std::to_string(j);
      std::string fault = check(panel, led(lid[axis][j], role.c_str()));
      if (!fault.empty()) return fault;
    }
  }
  return {};
}
