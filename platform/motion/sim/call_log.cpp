#include "sim/call_log.h"

#include <algorithm>
#include <cassert>

namespace motion_sim::detail {

void CallLog::add(const char* function, const char* serial, std::initializer_list<long long> args,
                  std::optional<double> real, double at) {
  assert(args.size() <= kMaxArgs);
  counts_[function]++;
  if (capacity_ == 0) return;
  if (entries_.size() == capacity_) entries_.pop_front();
  Entry& entry = entries_.emplace_back(
      Entry{function, serial ? serial : "", {}, static_cast<std::uint8_t>(args.size()), real, at});
  std::copy(args.begin(), args.end(), entry.args.begin());
}

void CallLog::setCapacity(std::size_t capacity) {
  capacity_ = capacity;
  while (entries_.size() > capacity_) entries_.pop_front();
  if (capacity_ == 0) entries_.shrink_to_fit();
}

std::size_t CallLog::count(std::string_view function) const {
  const auto it = counts_.find(function);
  return it == counts_.end() ? 0 : it->second;
}

std::vector<Call> CallLog::all() const {
  std::vector<Call> calls;
  calls.reserve(entries_.size());
  for (const Entry& entry : entries_) calls.push_back(toCall(entry));
  return calls;
}

std::vector<Call> CallLog::of(std::string_view function) const {
  std::vector<Call> calls;
  for (const Entry& entry : entries_) {
    if (function == entry.function) calls.push_back(toCall(entry));
  }
  return calls;
}

std::vector<double> CallLog::timesOf(std::string_view function) const {
  std::vector<double> times;
  for (const Entry& entry : entries_) {
    if (function == entry.function) times.push_back(entry.at);
  }
  return times;
}

Call CallLog::toCall(const Entry& entry) {
  Call call{
      entry.function, entry.serial, {entry.args.begin(), entry.args.begin() + entry.argCount}, {}};
  if (entry.real) call.real.push_back(*entry.real);
  return call;
}

}  // namespace motion_sim::detail
