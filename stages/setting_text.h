// Numbers as the settings file keeps them: written exactly and read back whole, whatever the
// process's locale.
#pragma once

#include <string>

std::string SettingNumber(double value);
// True, with the value, when all of `text` is one finite number (an int for the int form).
bool ParseSettingNumber(const std::string& text, double* value);
bool ParseSettingInt(const std::string& text, int* value);
// The setting `key`, or false when it is not set.
bool ReadSetting(const char* key, std::string* value);
