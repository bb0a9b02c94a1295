#include "soft_limits.h"

#include <cmath>
#include <cstdio>

#include "gui_runtime.h"
#include "lts.h"
#include "setting_text.h"

namespace {

double lower[3] = {kDefaultLimitMin, kDefaultLimitMin, kDefaultLimitMin};
double upper[3] = {kDefaultLimitMax, kDefaultLimitMax, kDefaultLimitMax};

std::string key(int i, const char* end) { return std::string("limits/") + AxisName(i) + end; }

// The number stored under `k`; false when it is missing or its text is not a number in full.
bool readNumber(const std::string& k, double* value, bool* stored) {
  std::string text;
  if (!ReadSetting(k.c_str(), &text)) return false;
  *stored = true;
  return ParseSettingNumber(text, value);
}

bool usable(double minimum, double maximum) {
  return std::isfinite(minimum) && std::isfinite(maximum) && minimum < maximum;
}

std::string number(double mm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", mm);
  return text;
}

}  // namespace

void SoftLimitsLoad(void) {
  for (int i = 0; i < 3; i++) {
    double minimum = 0.0;
    double maximum = 0.0;
    bool stored = false;
    const bool readMin = readNumber(key(i, "min"), &minimum, &stored);
    const bool readMax = readNumber(key(i, "max"), &maximum, &stored);
    if (readMin && readMax && usable(minimum, maximum)) {
      lower[i] = minimum;
      upper[i] = maximum;
      continue;
    }
    lower[i] = kDefaultLimitMin;
    upper[i] = kDefaultLimitMax;
    if (stored) {
      printf("Settings: the soft limits of %c are unusable, %s used instead\n", AxisName(i),
             SoftLimitRange(i).c_str());
    }
  }
}

double SoftLimitMin(int i) { return lower[i]; }
double SoftLimitMax(int i) { return upper[i]; }

std::string SoftLimitsFault(const double minimum[3], const double maximum[3]) {
  for (int i = 0; i < 3; i++) {
    if (usable(minimum[i], maximum[i])) continue;
    return std::string(1, AxisName(i)) + " minimum " + number(minimum[i]) + " mm and maximum " +
           number(maximum[i]) + " mm: the minimum must be a number below the maximum";
  }
  return {};
}

bool SoftLimitsApply(const double minimum[3], const double maximum[3]) {
  const std::string fault = SoftLimitsFault(minimum, maximum);
  if (!fault.empty()) {
    printf("Soft limits refused, nothing changed: %s\n", fault.c_str());
    return false;
  }
  for (int i = 0; i < 3; i++) {
    lower[i] = minimum[i];
    upper[i] = maximum[i];
    SetSetting(key(i, "min").c_str(), SettingNumber(minimum[i]).c_str());
    SetSetting(key(i, "max").c_str(), SettingNumber(maximum[i]).c_str());
  }
  return true;
}

bool WithinSoftLimits(int i, double mm) { return mm >= lower[i] && mm <= upper[i]; }

std::string SoftLimitRange(int i) { return number(lower[i]) + " to " + number(upper[i]) + " mm"; }

bool SoftLimitAllows(int i, const char* what, double mm) {
  if (WithinSoftLimits(i, mm)) return true;
  printf("Axis %c: %s %g mm refused, outside its soft limits %s\n", AxisName(i), what, mm,
         SoftLimitRange(i).c_str());
  return false;
}
