#include "setting_text.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "gui_runtime.h"

std::string SettingNumber(double value) {
  char buffer[64];
  const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

bool ParseSettingNumber(const std::string& text, double* value) {
  const char* end = text.data() + text.size();
  double v = 0.0;
  const std::from_chars_result r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

bool ParseSettingInt(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  int v = 0;
  const std::from_chars_result r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end) return false;
  *value = v;
  return true;
}

bool ReadSetting(const char* key, std::string* value) {
  const int length = GetSetting(key, nullptr, 0);
  if (length < 0) return false;
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  GetSetting(key, buffer.data(), static_cast<int>(buffer.size()));
  value->assign(buffer.data());
  return true;
}
