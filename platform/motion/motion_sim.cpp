// The simulator's test API. Like the C interface, each function enters a Session, so that it
// sees (and acts on) the rig as it is at the clock's present; none of them is logged.

#include "motion_sim.h"

#include "sim/rig.h"

namespace motion_sim {
namespace {

using detail::Session;
using detail::Stage;

// Runs `action(stage, now)` on the stage with this serial number; unknown ones are ignored.
template <class Action>
void withStage(const std::string& serial, Action action) {
  Session session;
  if (Stage* stage = session.stage(serial.c_str())) action(*stage, session.now());
}

}  // namespace

void reset() {
  Session session;
  session.rig().reset();
}

std::vector<Call> callLog() {
  Session session;
  return session.rig().log().all();
}

void clearCallLog() {
  Session session;
  session.rig().log().clear();
}

std::vector<Call> calls(const std::string& function) {
  Session session;
  return session.rig().log().of(function);
}

std::vector<double> callTimes(const std::string& function) {
  Session session;
  return session.rig().log().timesOf(function);
}

std::size_t callCount(const std::string& function) {
  Session session;
  return session.rig().log().count(function);
}

void setCallLogCapacity(std::size_t capacity) {
  Session session;
  session.rig().log().setCapacity(capacity);
}

StageState stage(const std::string& serial) {
  Session session;
  const Stage* stage = session.stage(serial.c_str());
  return stage ? stage->snapshot(session.now()) : StageState{};
}

std::size_t pollingThreads() {
  Session session;
  return session.rig().pollingThreads();
}

void failOpen(const std::string& serial, short code) {
  withStage(serial, [&](Stage& stage, double) { stage.faults.openCode = code; });
}

void failDeviceInfo(const std::string& serial, bool fail) {
  withStage(serial, [&](Stage& stage, double) { stage.faults.deviceInfo = fail; });
}

void failHomingParamsRead(const std::string& serial, bool fail) {
  withStage(serial, [&](Stage& stage, double) { stage.faults.homingParamsRead = fail; });
}

void neverComplete(const std::string& serial, bool on) {
  withStage(serial, [&](Stage& stage, double) { stage.faults.neverComplete = on; });
}

void stall(const std::string& serial, bool on) {
  withStage(serial, [&](Stage& stage, double now) { stage.stall(now, on); });
}

void setQueueSizeError(const std::string& serial, int code) {
  withStage(serial, [&](Stage& stage, double) { stage.faults.queueSizeError = code; });
}

void injectMessage(const std::string& serial, WORD type, WORD id, DWORD data) {
  Session session;
  if (Stage* stage = session.stage(serial.c_str())) {
    session.rig().notify(stage->post(Message{type, id, data}));
  }
}

void overrideStatus(const std::string& serial, std::optional<DWORD> status) {
  withStage(serial, [&](Stage& stage, double now) { stage.overrideStatus(now, status); });
}

void setPosition(const std::string& serial, double mm) {
  withStage(serial, [&](Stage& stage, double now) { stage.setPosition(now, mm); });
}

void setHomingParams(const std::string& serial, const MOT_HomingParameters& params) {
  withStage(serial, [&](Stage& stage, double) { stage.homingParams = params; });
}

void setInstantMoves(bool on) {
  Session session;
  session.rig().setInstantMoves(on);
}

}  // namespace motion_sim
