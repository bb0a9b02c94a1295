#include "sim/rig.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "platform_clock.h"

namespace motion_sim::detail {
namespace {

struct Simulator {
  std::mutex mutex;
  Rig rig;

  // A program that exits without closing its stages still ends their polling threads.
  ~Simulator() {
    Rig::Pollers stopped;
    {
      std::lock_guard lock(mutex);
      rig.shutDown();
      stopped = rig.takeStopped();
    }
    Rig::joinStopped(stopped);
  }
};

Simulator& simulator() {
  static Simulator instance;
  return instance;
}

void runPoller(std::size_t axis, const std::shared_ptr<Rig::Poller>& self) {
  for (;;) {
    Session session;
    if (self->stop) return;
    session.awaitNotice(axis, *self);
  }
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

void Rig::syncPollers() {
  if (shutDown_) return;
  for (std::size_t axis = 0; axis < stages_.size(); ++axis) {
    if (stages_[axis].polls() && !pollers_[axis]) {
      pollers_[axis] = std::make_shared<Poller>();
      pollers_[axis]->thread = std::thread(runPoller, axis, pollers_[axis]);
    } else if (!stages_[axis].polls()) {
      stopPoller(axis);
    }
  }
}

void Rig::shutDown() {
  shutDown_ = true;
  for (std::size_t axis = 0; axis < stages_.size(); ++axis) stopPoller(axis);
}

void Rig::stopPoller(std::size_t axis) {
  if (!pollers_[axis]) return;
  pollers_[axis]->stop = true;
  stopped_.push_back(std::exchange(pollers_[axis], nullptr));
  motionBegun_.notify_all();
}

void Rig::joinStopped(const Pollers& pollers) {
  for (const std::shared_ptr<Poller>& poller : pollers) {
    // A callback that closes its own stage runs on that stage's polling thread, which ends
    // as soon as the callback returns.
    if (poller->thread.get_id() == std::this_thread::get_id()) {
      poller->thread.detach();
    } else {
      poller->thread.join();
    }
  }
}

std::size_t Rig::pollingThreads() const {
  return static_cast<std::size_t>(std::count_if(pollers_.begin(), pollers_.end(),
                                                [](const auto& poller) { return poller != nullptr; }));
}

unsigned long long Rig::motionsBegun() const {
  unsigned long long begun = 0;
  for (const Stage& stage : stages_) begun += stage.motionsBegun();
  return begun;
}

Session::Session()
    : lock_(simulator().mutex),
      rig_(simulator().rig),
      now_(platform_clock::now()),
      motionsBegun_(rig_.motionsBegun()) {
  rig_.advance(now_);
}

Session::Session(const char* function, const char* serial, std::initializer_list<long long> args,
                 std::optional<double> real)
    : Session() {
  rig_.log().add(function, serial, args, real, now_);
}

void Session::awaitNotice(std::size_t axis, const Rig::Poller& poller) {
  const Stage& stage = rig_.stageAt(axis);
  const unsigned long long begun = stage.motionsBegun();
  const double due = stage.noticeTime().value_or(std::numeric_limits<double>::infinity());
  platform_clock::waitUntil(rig_.motionBegun(), lock_, due,
                            [&] { return poller.stop || stage.motionsBegun() != begun; });
  now_ = platform_clock::now();
}

Session::~Session() {
  rig_.advance(now_);
  rig_.syncPollers();
  if (rig_.motionsBegun() != motionsBegun_) rig_.motionBegun().notify_all();
  const std::vector<Stage::Callback> callbacks = rig_.takeNotifications();
  const Rig::Pollers stopped = rig_.takeStopped();
  lock_.unlock();
  Rig::joinStopped(stopped);
  for (Stage::Callback callback : callbacks) callback();
}

}  // namespace motion_sim::detail
