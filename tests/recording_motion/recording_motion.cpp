// A second implementation of the motion library's C interface, independent of the
// simulator: three stages that do just enough for a session to run, and a record of every
// call with its serial number and arguments in device units. Each call appends one line to
// the file named by QUARLEX_MOTION_RECORD ("ISC_MoveAbsolute 45388004"). The program
// learns of completions from the message queue, so the message callback is recorded and
// never called.
//
// A move or a homing ends at once: the position becomes the target and the completion
// message is queued, so every wait for it ends at its first look at the queue.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "isc_motion.h"

namespace {

const char* const kSerials[] = {"45388004", "45387934", "45388034"};
constexpr double kUnitsPerMm = 409600.0;
constexpr short kNotFound = 2;  // the library's code for a device that is not there

struct Message {
  WORD type;
  WORD id;
};

struct Stage {
  bool open = false;
  bool enabled = false;
  bool homed = false;
  int position = 0;
  int absoluteTarget = 0;
  int relativeDistance = 0;
  MOT_HomingParameters homing{MOT_Reverse, MOT_ReverseLimitSwitch, 0, 0};
  std::deque<Message> messages;
};

struct Library {
  std::mutex mutex;
  std::map<std::string, Stage> stages;
  FILE* record = nullptr;

  Library() {
    for (const char* serial : kSerials) stages[serial];
    const char* path = std::getenv("QUARLEX_MOTION_RECORD");
    if (path != nullptr) record = std::fopen(path, "w");
    if (record == nullptr) {
      std::fprintf(stderr, "recording motion library: set QUARLEX_MOTION_RECORD to a writable file\n");
    }
  }
};

Library& library() {
  static Library& l = *new Library;  // calls may come from any thread until the process ends
  return l;
}

// Writes one record line; the caller holds the library's mutex.
__attribute__((format(printf, 1, 2))) void record(const char* format, ...) {
  Library& l = library();
  if (l.record == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(l.record, format, args);
  va_end(args);
  std::fputc('\n', l.record);
  std::fflush(l.record);
}

// The open stage of that serial number, or nullptr: a closed or unknown stage does nothing.
Stage* openStage(const char* serial) {
  auto found = library().stages.find(serial);
  return found != library().stages.end() && found->second.open ? &found->second : nullptr;
}

// Ends a motion at once with its completion message. A disabled stage does not move.
void complete(Stage& stage, int position, WORD messageId) {
  if (!stage.enabled) return;
  stage.position = position;
  stage.messages.push_back({MOT_GenericMotorMessage, messageId});
}

// Common shape of the calls that only touch one open stage and return 0 or an error code.
template <class Action>
short onStage(const char* serial, Action action) {
  Stage* stage = openStage(serial);
  if (stage == nullptr) return kNotFound;
  action(*stage);
  return 0;
}

}  // namespace

extern "C" {

short TLI_BuildDeviceList(void) {
  std::lock_guard lock(library().mutex);
  record("TLI_BuildDeviceList");
  return 0;
}

short TLI_GetDeviceInfo(char const* serialNo, TLI_DeviceInfo* info) {
  std::lock_guard lock(library().mutex);
  record("TLI_GetDeviceInfo %s", serialNo);
  if (library().stages.count(serialNo) == 0) return kNotFound;
  *info = TLI_DeviceInfo{};
  std::snprintf(info->description, sizeof info->description, "Recording stage");
  std::snprintf(info->serialNo, sizeof info->serialNo, "%s", serialNo);
  info->isKnownType = true;
  info->motorType = MOT_StepperMotor;
  info->maxChannels = 1;
  return 0;
}

short ISC_Open(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_Open %s", serialNo);
  auto found = library().stages.find(serialNo);
  if (found == library().stages.end() || found->second.open) return kNotFound;
  found->second.open = true;
  return 0;
}

void ISC_Close(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_Close %s", serialNo);
  if (Stage* stage = openStage(serialNo)) stage->open = false;
}

short ISC_SetLEDswitches(char const* serialNo, WORD LEDswitches) {
  std::lock_guard lock(library().mutex);
  record("ISC_SetLEDswitches %s %u", serialNo, unsigned{LEDswitches});
  return onStage(serialNo, [](Stage&) {});
}

bool ISC_StartPolling(char const* serialNo, int milliseconds) {
  std::lock_guard lock(library().mutex);
  record("ISC_StartPolling %s %d", serialNo, milliseconds);
  return openStage(serialNo) != nullptr;
}

void ISC_StopPolling(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_StopPolling %s", serialNo);
}

void ISC_RegisterMessageCallback(char const* serialNo, void (*)(void)) {
  std::lock_guard lock(library().mutex);
  record("ISC_RegisterMessageCallback %s", serialNo);
}

short ISC_EnableChannel(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_EnableChannel %s", serialNo);
  return onStage(serialNo, [](Stage& s) { s.enabled = true; });
}

short ISC_DisableChannel(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_DisableChannel %s", serialNo);
  return onStage(serialNo, [](Stage& s) { s.enabled = false; });
}

int ISC_GetNumberPositions(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetNumberPositions %s", serialNo);
  return 0;
}

int ISC_GetPosition(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetPosition %s", serialNo);
  const Stage* stage = openStage(serialNo);
  return stage != nullptr ? stage->position : 0;
}

DWORD ISC_GetStatusBits(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetStatusBits %s", serialNo);
  const Stage* stage = openStage(serialNo);
  if (stage == nullptr) return 0;
  return ISC_STATUS_CONNECTED | (stage->homed ? ISC_STATUS_HOMED : 0u) |
         (stage->enabled ? ISC_STATUS_ENABLED : 0u);
}

short ISC_GetRealValueFromDeviceUnit(char const* serialNo, int device_unit, double* real_unit,
                                     int unitType) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetRealValueFromDeviceUnit %s %d %d", serialNo, device_unit, unitType);
  return onStage(serialNo, [&](Stage&) { *real_unit = device_unit / kUnitsPerMm; });
}

short ISC_GetDeviceUnitFromRealValue(char const* serialNo, double real_unit, int* device_unit,
                                     int unitType) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetDeviceUnitFromRealValue %s %.17g %d", serialNo, real_unit, unitType);
  return onStage(serialNo, [&](Stage&) { *device_unit = static_cast<int>(real_unit * kUnitsPerMm); });
}

short ISC_GetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetHomingParamsBlock %s", serialNo);
  return onStage(serialNo, [&](Stage& s) { *homingParams = s.homing; });
}

short ISC_SetHomingParamsBlock(char const* serialNo, MOT_HomingParameters* homingParams) {
  std::lock_guard lock(library().mutex);
  record("ISC_SetHomingParamsBlock %s %d %d %u %u", serialNo, homingParams->direction,
         homingParams->limitSwitch, homingParams->velocity, homingParams->offsetDistance);
  return onStage(serialNo, [&](Stage& s) { s.homing = *homingParams; });
}

short ISC_StopProfiled(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_StopProfiled %s", serialNo);
  return onStage(serialNo, [](Stage&) {});
}

short ISC_SetMoveAbsolutePosition(char const* serialNo, int position) {
  std::lock_guard lock(library().mutex);
  record("ISC_SetMoveAbsolutePosition %s %d", serialNo, position);
  return onStage(serialNo, [&](Stage& s) { s.absoluteTarget = position; });
}

short ISC_SetMoveRelativeDistance(char const* serialNo, int distance) {
  std::lock_guard lock(library().mutex);
  record("ISC_SetMoveRelativeDistance %s %d", serialNo, distance);
  return onStage(serialNo, [&](Stage& s) { s.relativeDistance = distance; });
}

short ISC_Home(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_Home %s", serialNo);
  return onStage(serialNo, [](Stage& s) {
    if (s.enabled) s.homed = true;
    complete(s, 0, MOT_Homed);
  });
}

short ISC_MoveAbsolute(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_MoveAbsolute %s", serialNo);
  return onStage(serialNo, [&](Stage& s) { complete(s, s.absoluteTarget, MOT_Moved); });
}

short ISC_MoveRelativeDistance(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_MoveRelativeDistance %s", serialNo);
  return onStage(serialNo, [](Stage& s) { complete(s, s.position + s.relativeDistance, MOT_Moved); });
}

void ISC_ClearMessageQueue(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_ClearMessageQueue %s", serialNo);
  onStage(serialNo, [](Stage& s) { s.messages.clear(); });
}

int ISC_MessageQueueSize(char const* serialNo) {
  std::lock_guard lock(library().mutex);
  record("ISC_MessageQueueSize %s", serialNo);
  const Stage* stage = openStage(serialNo);
  return stage != nullptr ? static_cast<int>(stage->messages.size()) : 0;
}

bool ISC_GetNextMessage(char const* serialNo, WORD* messageType, WORD* messageID,
                        DWORD* messageData) {
  std::lock_guard lock(library().mutex);
  record("ISC_GetNextMessage %s", serialNo);
  Stage* stage = openStage(serialNo);
  if (stage == nullptr || stage->messages.empty()) return false;
  *messageType = stage->messages.front().type;
  *messageID = stage->messages.front().id;
  *messageData = 0;
  stage->messages.pop_front();
  return true;
}

}  // extern "C"
