// Test-only C++ API of the motion simulator, outside the library's C interface: resets the
// rig, injects faults and reads back every call that reached a stage, in device units.
#pragma once

#include <cstddef>
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
inline constexpr short kErrInvalidArgument = 6;  // null output, unknown unit type, value beyond int

// The call log keeps the most recent calls only, so that soak tests stay bounded in memory.
// It is off until the first reset(): the program itself never reads it, and a long session
// would otherwise fill it.
inline constexpr std::size_t kCallLogCapacity = 1'000'000;

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
  bool operator==(const Call&) const = default;
};

// What a stage really is at this moment, whatever polling has sampled.
struct StageState {
  bool open = false;
  bool polling = false;
  bool homed = false;
  bool moving = false;       // a motion is under way (or frozen by stall())
  double positionMm = 0.0;
  DWORD status = 0;          // the true status word now, without overrideStatus()
  std::vector<Message> queue;
  int registeredCallbacks = 0;  // non-null callbacks registered since reset()
};

// Back to power-on: all stages closed, disabled, not homed, at kStartPositionMm; queues,
// faults, callbacks and instant moves cleared; the call log emptied and logging.
void reset();

// The logged calls, oldest first (at most the last kCallLogCapacity).
std::vector<Call> callLog();
void clearCallLog();
// The calls of one function, in order.
std::vector<Call> calls(const std::string& function);
// Platform-clock times of the calls of one function, in order.
std::vector<double> callTimes(const std::string& function);
// Calls of one function since reset(), whether or not the log still holds them.
std::size_t callCount(const std::string& function);
// Keeps at most `capacity` calls in the log from now on; 0 logs none (soak tests). reset()
// restores kCallLogCapacity.
void setCallLogCapacity(std::size_t capacity);

// A default StageState for an unknown serial.
StageState stage(const std::string& serial);
// The library's polling threads running now: one per stage that polls. A thread stopped by
// ISC_StopPolling, ISC_Close or reset() has ended when that call returns (unless it is the
// caller's own, from a callback).
std::size_t pollingThreads();

// Faults. Each stays until cleared or reset(). Unknown serials are ignored.
void failOpen(const std::string& serial, short code);          // 0 clears
void failDeviceInfo(const std::string& serial, bool fail);       // TLI_GetDeviceInfo fails, writes nothing
void failHomingParamsRead(const std::string& serial, bool fail); // ISC_GetHomingParamsBlock fails, writes nothing
void neverComplete(const std::string& serial, bool on);          // motions run but queue no completion message
// The stage freezes where it is, still "moving" if it was, and ignores motor commands
// (moves, home, stop, enable, disable); off leaves it at rest there, without a message.
void stall(const std::string& serial, bool on);
void setQueueSizeError(const std::string& serial, int code);     // ISC_MessageQueueSize returns code; 0 clears
// Queues the message at once and calls the stage's callback.
void injectMessage(const std::string& serial, WORD type, WORD id, DWORD data);
// Shows this status word instead of the simulated one (polling still applies); nullopt clears.
void overrideStatus(const std::string& serial, std::optional<DWORD> status);

// Set-up helpers for tests and benchmarks.
// The stage stands there at once, at rest (clamped to travel), and its sample shows it.
void setPosition(const std::string& serial, double mm);
void setHomingParams(const std::string& serial, const MOT_HomingParameters& params);
// Every motion ends the moment it starts: the position jumps, the message is queued at once.
void setInstantMoves(bool on);

}  // namespace motion_sim
