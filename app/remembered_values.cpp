#include "remembered_values.h"

#include <cstdio>
#include <string>

#include "gui_runtime.h"
#include "panel_ids.h"
#include "setting_text.h"

namespace {

enum Group { kGrid, kTargets };

struct Remembered {
  const char* key;
  int control;
  bool integer;
  Group group;
};

constexpr Remembered kRemembered[] = {
    {"grid/nx", PANEL_NX, true, kGrid}, {"grid/ny", PANEL_NY, true, kGrid},
    {"grid/nz", PANEL_NZ, true, kGrid}, {"grid/x0", PANEL_X0, false, kGrid},
    {"grid/y0", PANEL_Y0, false, kGrid}, {"grid/z0", PANEL_Z0, false, kGrid},
    {"grid/dx", PANEL_DX, false, kGrid}, {"grid/dy", PANEL_DY, false, kGrid},
    {"grid/dz", PANEL_DZ, false, kGrid}, {"grid/scanx", PANEL_CBX, true, kGrid},
    {"grid/scany", PANEL_CBY, true, kGrid}, {"grid/scanz", PANEL_CBZ, true, kGrid},
    {"targets/x", PANEL_TARGET_X, false, kTargets}, {"targets/y", PANEL_TARGET_Y, false, kTargets},
    {"targets/z", PANEL_TARGET_Z, false, kTargets},
};

// Shows the kept value of `r`; false when one is kept but cannot be read back.
bool restore(const Remembered& r) {
  std::string text;
  if (!ReadSetting(r.key, &text)) return true;  // never kept: the panel's value stays
  if (r.integer) {
    int value = 0;
    return ParseSettingInt(text, &value) && SetCtrlVal(p1_h, r.control, value) == 0;
  }
  double value = 0.0;
  return ParseSettingNumber(text, &value) && SetCtrlVal(p1_h, r.control, value) == 0;
}

void remember(const Remembered& r) {
  std::string text;
  if (r.integer) {
    int value = 0;
    GetCtrlVal(p1_h, r.control, &value);
    text = std::to_string(value);
  } else {
    double value = 0.0;
    GetCtrlVal(p1_h, r.control, &value);
    text = SettingNumber(value);
  }
  std::string kept;
  if (ReadSetting(r.key, &kept) && kept == text) return;  // spares rewriting the file
  SetSetting(r.key, text.c_str());
}

void rememberGroup(Group group) {
  for (const Remembered& r : kRemembered) {
    if (r.group == group) remember(r);
  }
}

}  // namespace

void RestoreTypedValues(void) {
  int unusable = 0;
  const char* first = nullptr;
  for (const Remembered& r : kRemembered) {
    if (restore(r)) continue;
    if (unusable++ == 0) first = r.key;
  }
  if (unusable > 0) {
    printf("Settings: %d kept value%s unreadable and left as the panel has %s (first: %s)\n",
           unusable, unusable == 1 ? " is" : "s are", unusable == 1 ? "it" : "them", first);
  }
}

void RememberOnUse(int control) {
  switch (control) {
    case PANEL_SCAN_START: rememberGroup(kGrid); break;
    case PANEL_GOTO_X:
    case PANEL_GOTO_Y:
    case PANEL_GOTO_Z:
    case PANEL_GOTO_ALL: rememberGroup(kTargets); break;
    default: break;
  }
}

void RememberTypedValues(void) {
  rememberGroup(kGrid);
  rememberGroup(kTargets);
}
