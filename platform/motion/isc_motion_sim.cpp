// The motion library's C interface, implemented by the simulator. Each call enters a Session
// (logged under its own name), which brings the rig up to the clock's present first.
//
// A serial number that is not one of kSerials (or null) answers kErrNotFound; a known stage
// that is not open answers kErrNotOpen, does not move, and calls without a code do nothing,
// except GetPosition/GetStatusBits, which return the last sample.

#include <cstdio>

#include "isc_motion.h"
#include "motion_sim.h"
#include "sim/rig.h"
#include "sim/units.h"

using motion_sim::kErrInvalidArgument;
using motion_sim::kErrNotFound;
using motion_sim::kErrNotOpen;
using motion_sim::kErrReadFailed;
using motion_sim::detail::Rig;
using motion_sim::detail::Session;
using motion_sim::detail::Stage;

namespace {

// The code for a stage that is missing or closed; 0 when it can be used.
short availability(const Stage* stage) {
  if (!stage) return kErrNotFound;
  return stage->isOpen() ? 0 : kErrNotOpen;
}

Stage* openStage(Session& session, const char* serial) {
  Stage* stage = session.stage(serial);
  return availability(stage) == 0 ? stage : nullptr;
}

// Runs `command` on the stage if it is open; returns the library's code.
template <class Command>
short onOpenStage(Session& session, const char* serial, Command command) {
  Stage* stage = session.stage(serial);
  if (short code = availability(stage)) return code;
  command(*stage);
  return 0;
}

// Distances, velocities (unitType 1) and accelerations (2) all use kStepsPerMm.
bool knownUnitType(int unitType) { return unitType >= 0 && unitType <= 2; }

TLI_DeviceInfo deviceInfo(std::size_t axis) {
  TLI_DeviceInfo info{};
  info.typeID = 45;
  std::snprintf(info.description, sizeof info.description, "Integrated stepper stage %c",
                "XYZ"[axis]);
  std::snprintf(info.serialNo, sizeof info.serialNo, "%s", motion_sim::kSerials[axis]);
  info.isKnownType = true;
  info.motorType = MOT_StepperMotor;
  info.maxChannels = 1;
  return info;
}

}  // namespace

extern "C" {

short TLI_BuildDeviceList(void) {
  Session session(__func__, "");
  return 0;
}

short TLI_GetDeviceInfo(char const* serialNo, TLI_DeviceInfo* info) {
  Session session(__func__, serialNo);
  const std::optional<std::size_t> axis = Rig::axisOf(serialNo);
  if (!axis) return kErrNotFound;
  if (session.stage(serialNo)->faults.deviceInfo) return kErrReadFailed;
  if (!info) return kErrInvalidArgument;
  *info = deviceInfo(*axis);
  return 0;
}

short ISC_Open(char const* serialNo) {
  Session session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  return stage ? stage->open(session.now()) : kErrNotFound;
}

void ISC_Close(char const* serialNo) {
  Session session(__func__, serialNo);
  if (Stage* stage = openStage(session, serialNo)) stage->close(session.now());
}

short ISC_SetLEDswitches(char const* serialNo, WORD LEDswitches) {
  Session session(__func__, serialNo, {LEDswitches});
  return availability(session.stage(serialNo));
}

bool ISC_StartPolling(char const* serialNo, int milliseconds) {
  Session session(__func__, serialNo, {milliseconds});
  Stage* stage = openStage(session, serialNo);
  return stage && stage->startPolling(session.now(), milliseconds);
}

void ISC_StopPolling(char const* serialNo) {
  Session session(__func__, serialNo);
  if (Stage* stage = openStage(session, serialNo)) stage->stopPolling(session.now());
}

void ISC_RegisterMessageCallback(char const* serialNo, void (*functionPointer)(void)) {
  Session session(__func__, serialNo);
  if (Stage* stage = openStage(session, serialNo)) stage->registerCallback(functionPointer);
}

short ISC_EnableChannel(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo,
                     [&](Stage& stage) { stage.setEnabled(session.now(), true); });
}

short ISC_DisableChannel(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo,
                     [&](Stage& stage) { stage.setEnabled(session.now(), false); });
}

int ISC_GetNumberPositions(char const* serialNo) {
  Session session(__func__, serialNo);
  constexpr int kTravelUnits = static_cast<int>(motion_sim::kTravelMm * motion_sim::kStepsPerMm);
  return openStage(session, serialNo) ? kTravelUnits : 0;
}

int ISC_GetPosition(char const* serialNo) {
  Session session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  return stage ? stage->sampledPosition(session.now()) : 0;
}

DWORD ISC_GetStatusBits(char const* serialNo) {
  Session session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  return stage ? stage->sampledStatus(session.now()) : 0;
}

short ISC_GetRealValueFromDeviceUnit(char const* serialNo, int device_unit, double* real_unit,
                                     int unitType) {
  Session session(__func__, serialNo, {device_unit, unitType});
  if (short code = availability(session.stage(serialNo))) return code;
  if (!real_unit || !knownUnitType(unitType)) return kErrInvalidArgument;
  *real_unit = motion_sim::detail::fromDeviceUnits(device_unit);
  return 0;
}

short ISC_GetDeviceUnitFromRealValue(char const* serialNo, double real_unit, int* device_unit,
                                     int unitType) {
  Session session(__func__, serialNo, {unitType}, real_unit);
  if (short code = availability(session.stage(serialNo))) return code;
  const std::optional<int> units = motion_sim::detail::toDeviceUnits(real_unit);
  if (!device_unit || !knownUnitType(unitType) || !units) return kErrInvalidArgument;
  *device_unit = *units;
  return 0;
}

short ISC_GetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams) {
  Session session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  if (short code = availability(stage)) return code;
  if (stage->faults.homingParamsRead) return kErrReadFailed;
  if (!homingParams) return kErrInvalidArgument;
  *homingParams = stage->homingParams;
  return 0;
}

short ISC_SetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams) {
  Session session = homingParams ? Session(__func__, serialNo,
                                           {homingParams->direction, homingParams->limitSwitch,
                                            homingParams->velocity, homingParams->offsetDistance})
                                 : Session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  if (short code = availability(stage)) return code;
  if (!homingParams) return kErrInvalidArgument;
  stage->homingParams = *homingParams;
  return 0;
}

short ISC_StopProfiled(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.stopProfiled(session.now()); });
}

short ISC_SetMoveAbsolutePosition(char const* serialNo, int position) {
  Session session(__func__, serialNo, {position});
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.moveTarget = position; });
}

short ISC_SetMoveRelativeDistance(char const* serialNo, int distance) {
  Session session(__func__, serialNo, {distance});
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.moveDistance = distance; });
}

short ISC_Home(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.home(session.now()); });
}

short ISC_MoveAbsolute(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.moveToTarget(session.now()); });
}

short ISC_MoveRelativeDistance(char const* serialNo) {
  Session session(__func__, serialNo);
  return onOpenStage(session, serialNo, [&](Stage& stage) { stage.moveByDistance(session.now()); });
}

void ISC_ClearMessageQueue(char const* serialNo) {
  Session session(__func__, serialNo);
  if (Stage* stage = openStage(session, serialNo)) stage->clearMessages();
}

int ISC_MessageQueueSize(char const* serialNo) {
  Session session(__func__, serialNo);
  Stage* stage = session.stage(serialNo);
  if (!stage) return 0;
  if (stage->faults.queueSizeError != 0) return stage->faults.queueSizeError;
  return stage->isOpen() ? stage->queueSize() : 0;
}

bool ISC_GetNextMessage(char const* serialNo, WORD* messageType, WORD* messageID,
                        DWORD* messageData) {
  Session session(__func__, serialNo);
  Stage* stage = openStage(session, serialNo);
  if (!stage || !messageType || !messageID || !messageData) return false;
  const std::optional<motion_sim::Message> message = stage->takeMessage();
  if (!message) return false;
  *messageType = message->type;
  *messageID = message->id;
  *messageData = message->data;
  return true;
}

}  // extern "C"
