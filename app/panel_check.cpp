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

constexpr ExpectedControl button(int id, const char* role) { return {id, role, kButton, VAL_NO_TYPE, 0}; }
constexpr ExpectedControl led(int id, const char* role) { return {id, role, CTRL_KIND_LED, VAL_INTEGER, 0}; }

#define QUARLEX_EXPECT_BUTTON(name, id, role) button(name, role),
#define QUARLEX_EXPECT_CONTROL(name, id, role, kind, type, alternative) {name, role, kind, type, alternative},
constexpr auto kExpected = std::to_array<ExpectedControl>({
    QUARLEX_PANEL_CONTROLS(QUARLEX_EXPECT_BUTTON, QUARLEX_EXPECT_CONTROL)
});
#undef QUARLEX_EXPECT_BUTTON
#undef QUARLEX_EXPECT_CONTROL

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
      const std::string role = std::string(1, AxisName(axis)) + " status LED " + std::to_string(j);
      std::string fault = check(panel, led(lid[axis][j], role.c_str()));
      if (!fault.empty()) return fault;
    }
  }
  return {};
}
