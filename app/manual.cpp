#include "manual.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "dispatch.h"
#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "setting_text.h"
#include "soft_limits.h"

namespace {

constexpr double kJogSteps[] = {0.01, 0.1, 1.0, 10.0};
const char kJogStepKey[] = "jog/step";

const int kTarget[3] = {PANEL_TARGET_X, PANEL_TARGET_Y, PANEL_TARGET_Z};
const int kJogPlus[3] = {PANEL_JOG_X_PLUS, PANEL_JOG_Y_PLUS, PANEL_JOG_Z_PLUS};
const int kJogMinus[3] = {PANEL_JOG_X_MINUS, PANEL_JOG_Y_MINUS, PANEL_JOG_Z_MINUS};
const int kScanStart[3] = {PANEL_X0, PANEL_Y0, PANEL_Z0};
const int kScanStep[3] = {PANEL_DX, PANEL_DY, PANEL_DZ};
const char* const kKeysOf[3][2] = {{"Left", "Right"}, {"Down", "Up"}, {"Page Down", "Page Up"}};

double jogStep = SingleMove;

bool isJogStep(double mm) {
  for (double step : kJogSteps) {
    if (mm == step) return true;
  }
  return false;
}

std::string number(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", mm);
  return text;
}

// The jog buttons' texts and tooltips and the step label follow the step in use.
void showJogStep() {
  const std::string step = number(jogStep);
  for (int i = 0; i < 3; i++) {
    const std::string axis(1, AxisName(i));
    SetCtrlLabel(p1_h, kJogPlus[i], ("Jog +" + step + " mm").c_str());
    SetCtrlLabel(p1_h, kJogMinus[i], ("Jog \u2212" + step + " mm").c_str());
    SetCtrlToolTip(p1_h, kJogPlus[i],
                   ("Move " + axis + " by +" + step + " mm (key " + kKeysOf[i][1] + ")").c_str());
    SetCtrlToolTip(p1_h, kJogMinus[i],
                   ("Move " + axis + " by \u2212" + step + " mm (key " + kKeysOf[i][0] + ")").c_str());
  }
  SetPanelText(p1_h, kJogStepLabel, ("Jog step: " + step + " mm").c_str());
}

// The target and scan fields name the range they are checked against.
void showSoftLimits() {
  std::string all = "Limits:";
  for (int i = 0; i < 3; i++) {
    const std::string axis(1, AxisName(i));
    const std::string range = SoftLimitRange(i);
    all += " " + axis + " " + range.substr(0, range.size() - 3) + (i < 2 ? "," : " mm");
    SetCtrlToolTip(p1_h, kTarget[i],
                   (axis + " target position; a go-to outside " + range + " is refused").c_str());
    const std::string scan =
        "; a scan whose " + axis + " positions leave " + range + " is refused";
    SetCtrlToolTip(p1_h, kScanStart[i], (axis + " start position" + scan).c_str());
    SetCtrlToolTip(p1_h, kScanStep[i], (axis + " step" + scan).c_str());
  }
  SetPanelText(p1_h, kLimitsLabel, all.c_str());
}

void loadJogStep() {
  jogStep = SingleMove;
  std::string text;
  if (!ReadSetting(kJogStepKey, &text)) return;
  double step = 0.0;
  if (ParseSettingNumber(text, &step) && isJogStep(step)) {
    jogStep = step;
    return;
  }
  printf("Settings: jog step \"%s\" is not one of 0.01, 0.1, 1, 10 mm; %g mm used instead\n",
         text.c_str(), jogStep);
}

}  // namespace

void GoToChecked(int axis, double mm) {
  if (SoftLimitAllows(axis, "go to", mm)) LTS_MoveAbsolute(axis, mm, 0);
}

void Jog(int axis, int direction) {
  const double distance = direction * jogStep;
  if (SoftLimitAllows(axis, "jog to", LTS_GetPosition(axis) + distance)) {
    LTS_MoveRelative(axis, distance, 0);
  }
}

void SetJogStep(double mm) {
  if (!isJogStep(mm)) return;
  jogStep = mm;
  SetSetting(kJogStepKey, SettingNumber(mm).c_str());
  showJogStep();
}

void EditSoftLimits(void) {
  double minimum[3];
  double maximum[3];
  for (int i = 0; i < 3; i++) {
    minimum[i] = SoftLimitMin(i);
    maximum[i] = SoftLimitMax(i);
  }
  if (EditLimitsDialog(minimum, maximum) != 1) return;
  if (SoftLimitsApply(minimum, maximum)) {
    showSoftLimits();
    return;
  }
  const std::string message =
      "The soft limits are not changed.\n\n" + SoftLimitsFault(minimum, maximum) + ".";
  MessagePopup("Soft limits", message.c_str());
}

void ManualControlsStart(void) {
  SoftLimitsLoad();
  loadJogStep();
  showSoftLimits();
  showJogStep();
  const int keys[][2] = {
      {PANEL_KEY_LEFT, PANEL_JOG_X_MINUS}, {PANEL_KEY_RIGHT, PANEL_JOG_X_PLUS},
      {PANEL_KEY_DOWN, PANEL_JOG_Y_MINUS}, {PANEL_KEY_UP, PANEL_JOG_Y_PLUS},
      {PANEL_KEY_PAGE_DOWN, PANEL_JOG_Z_MINUS}, {PANEL_KEY_PAGE_UP, PANEL_JOG_Z_PLUS},
      {PANEL_KEY_ESCAPE, PANEL_STOP_ALL}};
  for (const auto& [key, control] : keys) BindPanelKey(p1_h, key, control);
  // A focused target changes only by typing: no key or wheel steps it unseen.
  for (int control : kTarget) LockStepKeys(p1_h, control);
}
