#include "sim/rig.h"

#include <cstring>
#include <utility>

#include "platform_clock.h"

namespace motion_sim::detail {
namespace {

struct Simulator {
  std::mutex mutex;
  Rig rig;
};

Simulator& simulator() {
  static Simulator instance;
  return instance;
}

}  // namespace

std::optional<std::size_t> Rig::axisOf(const char* serial) {
  if (!serial) return std::nullopt;
  for (std::size_t i = 0; i < std::size(kSerials); ++i) {
    if (std::strcmp(serial, kSerials[i]) == 0) return i;
  }
  return std::nullopt;
}

Stage* Rig::find(const char* serial) {
  const std::optional<std::size_t> axis = axisOf(serial);
  return axis ? &stages_[*axis] : nullptr;
}

void Rig::setInstantMoves(bool on) {
  for (Stage& stage : stages_) stage.setInstantMoves(on);
}

void Rig::reset() {
  stages_ = {};
  log_ = CallLog(kCallLogCapacity);
  notifications_.clear();
}

void Rig::advance(double now) {
  for (;;) {
    Stage* first = nullptr;
    double firstEnd = 0.0;
    for (Stage& stage : stages_) {
      const std::optional<double> end = stage.motionEnd();
      if (end && *end <= now && (!first || *end < firstEnd)) {
        first = &stage;
        firstEnd = *end;
      }
    }
    if (!first) return;
    notify(first->finishMotion());
  }
}

void Rig::notify(Stage::Callback callback) {
  if (callback) notifications_.push_back(callback);
}

std::vector<Stage::Callback> Rig::takeNotifications() { return std::exchange(notifications_, {}); }

Session::Session() : lock_(simulator().mutex), rig_(simulator().rig), now_(platform_clock::now()) {
  rig_.advance(now_);
}

Session::Session(const char* function, const char* serial, std::initializer_list<long long> args,
                 std::optional<double> real)
    : Session() {
  rig_.log().add(function, serial, args, real, now_);
}

Session::~Session() {
  rig_.advance(now_);
  const std::vector<Stage::Callback> callbacks = rig_.takeNotifications();
  lock_.unlock();
  for (Stage::Callback callback : callbacks) callback();
}

}  // namespace motion_sim::detail
