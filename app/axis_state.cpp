#include "axis_state.h"

namespace {

// Status bits the stages set.
constexpr unsigned int kForwardLimit = 1u << 0;
constexpr unsigned int kReverseLimit = 1u << 1;
constexpr unsigned int kMovingForward = 1u << 4;
constexpr unsigned int kMovingReverse = 1u << 5;
constexpr unsigned int kHoming = 1u << 9;
constexpr unsigned int kHomed = 1u << 10;
constexpr unsigned int kEnabled = 1u << 31;

}  // namespace

const char* const kAxisStateLabel[3] = {"stateX", "stateY", "stateZ"};

const char* AxisStateText(unsigned int status) {
  const bool homed = (status & kHomed) != 0;
  if ((status & kEnabled) == 0) return "Disabled";
  if ((status & kHoming) != 0) return "Homing";
  if ((status & (kMovingForward | kMovingReverse)) != 0) return "Moving";
  if ((status & kForwardLimit) != 0) return "At forward limit";
  if ((status & kReverseLimit) != 0) return homed ? "Idle at home" : "At reverse limit";
  return homed ? "Idle" : "Not homed";
}
