// The record of every call of the C interface, oldest first. Entries are kept compact and
// only the most recent `capacity` are kept, so that a soak test of 100 000 moves stays
// cheap and bounded.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "motion_sim.h"

namespace motion_sim::detail {

class CallLog {
 public:
  static constexpr std::size_t kMaxArgs = 4;

  explicit CallLog(std::size_t capacity) : capacity_(capacity) {}

  // `function` must be a string literal; a null `serial` is logged as "".
  void add(const char* function, const char* serial, std::initializer_list<long long> args,
           std::optional<double> real, double at);
  std::vector<Call> all() const;
  std::vector<Call> of(std::string_view function) const;
  std::vector<double> timesOf(std::string_view function) const;
  void clear() { entries_.clear(); }
  // Keeps at most `capacity` entries from now on (0: logs nothing); counts go on.
  void setCapacity(std::size_t capacity);
  // Calls of `function` since this log was made, logged or not.
  std::size_t count(std::string_view function) const;

 private:
  struct Entry {
    const char* function;
    std::string serial;
    std::array<long long, kMaxArgs> args;
    std::uint8_t argCount;
    std::optional<double> real;
    double at;  // clock time of the call
  };
  static Call toCall(const Entry& entry);

  std::size_t capacity_;
  std::deque<Entry> entries_;
  std::map<std::string_view, std::size_t, std::less<>> counts_;  // keys are string literals
};

}  // namespace motion_sim::detail
