// Test-only C++ API of the motion simulator, outside the library's C interface: resets the
// rig, injects faults and reads back every call that reached a stage, in device units.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "isc_motion.h"

namespace motion_sim {

// The three stages the simulator knows, X, Y and Z.
inline constexpr const char* kSerials[3] = {"45388004", "45387934", "45388034"};
inline constexpr double kStepsPerMm = 409600.0;
inline constexpr double kTravelMm = 300.0;
inline constexpr double kMaxVelocity = 50.0;      // mm/s
inline constexpr double kAcceleration = 50.0;     // mm/s^2
inline constexpr double kHomingVelocity = 10.0;   // mm/s
inline constexpr double kStartPositionMm = 25.0;  // where a stage stands after reset

// Error codes of the simulated library.
inline constexpr short kErrNotFound = 2;     // unknown serial number
inline constexpr short kErrNotOpen = 3;      // stage not open
inline constexpr short kErrAlreadyOpen = 4;  // stage opened twice
inline constexpr short kErrReadFailed = 5;   // injected read failure

struct Message {
  WORD type;
  WORD id;
  DWORD data;
  bool operator==(const Message&) const = default;
};

// One call of the C interface as it reached the simulator. `args` holds the call's
// arguments after the serial number, in device units (doubles truncated are not used:
// double arguments appear in `real`).
struct Call {
  std::string function;
  std::string serial;
  std::vector<long long> args;
  std::vector<double> real;
};

// What a stage really is at this moment, whatever polling has sampled.
struct StageState {
  bool open = false;
  bool polling = false;
  bool enabled = false;
  bool homed = false;
  bool moving = false;
  double positionMm = 0.0;
  DWORD status = 0;          // the true status word now
  std::vector<Message> queue;
  MOT_HomingParameters homing{};
  int registeredCallbacks = 0;
};

// Back to power-on: all stages closed, disabled, not homed, at kStartPositionMm; queues,
// faults, callbacks and the call log cleared.
void reset();

std::vector<Call> callLog();
void clearCallLog();
// The calls of one function, in order.
std::vector<Call> calls(const std::string& function);

StageState stage(const std::string& serial);

// Faults. Each stays until cleared or reset().
void failOpen(const std::string& serial, short code);          // 0 clears
void failDeviceInfo(const std::string& serial, bool fail);       // TLI_GetDeviceInfo fails, writes nothing
void failHomingParamsRead(const std::string& serial, bool fail); // ISC_GetHomingParamsBlock fails, writes nothing
void neverComplete(const std::string& serial, bool on);          // motions run but queue no completion message
void stall(const std::string& serial, bool on);                  // the stage stops where it is, still "moving"
void setQueueSizeError(const std::string& serial, int code);     // ISC_MessageQueueSize returns code; 0 clears
void injectMessage(const std::string& serial, WORD type, WORD id, DWORD data);
// Shows this status word instead of the simulated one (polling still applies); nullopt clears.
void overrideStatus(const std::string& serial, std::optional<DWORD> status);

// Set-up helpers for tests and benchmarks.
void setPosition(const std::string& serial, double mm);           // stage stands there at once
void setHomingParams(const std::string& serial, const MOT_HomingParameters& params);
void setInstantMoves(bool on);  // every motion ends the moment it starts

}  // namespace motion_sim
