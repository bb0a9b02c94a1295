// The travel range of each axis, in millimetres, that every go-to, jog and scan is checked
// against before anything is sent: a target outside it would drive the stage into its limit
// switch. Kept in the settings file; main thread only.
#pragma once

#include <string>

// The simulated stages' travel, used until the operator sets other ranges.
inline constexpr double kDefaultLimitMin = 0.0;
inline constexpr double kDefaultLimitMax = 300.0;

// Reads the ranges from the settings; an axis whose stored range is missing or unusable gets
// the default, with one printed line when it was stored but unusable.
void SoftLimitsLoad(void);
double SoftLimitMin(int i);
double SoftLimitMax(int i);

// Why these ranges cannot be used (the first axis whose minimum is not a number below its
// finite maximum), or "" when they can.
std::string SoftLimitsFault(const double minimum[3], const double maximum[3]);
// Takes and stores the ranges, or, when SoftLimitsFault finds one, prints it in one line and
// changes nothing. True when taken.
bool SoftLimitsApply(const double minimum[3], const double maximum[3]);

// True when `mm` lies within axis i's range, its ends included; NaN never does.
bool WithinSoftLimits(int i, double mm);
// The text "0 to 300 mm" of axis i's range.
std::string SoftLimitRange(int i);
// True when `mm` lies within the range; otherwise prints one line naming the axis, what was
// asked (`what`: "go to", "jog to"), the target and the range, and returns false.
bool SoftLimitAllows(int i, const char* what, double mm);
