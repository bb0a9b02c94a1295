// Shared by the simulator's tests that go through the C interface in platform-clock time.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "isc_motion.h"
#include "motion_sim.h"

namespace motion_test {

inline const char* const kX = motion_sim::kSerials[0];
inline const char* const kY = motion_sim::kSerials[1];

// Device units of a distance (exact for the whole and half millimetres the tests use).
constexpr int du(double mm) { return static_cast<int>(mm * motion_sim::kStepsPerMm); }

// Counts calls of countCallback(), a message callback.
inline std::atomic<int> callbackCount{0};
inline void countCallback() { ++callbackCount; }

// Waits, in clock time, until the stage's queue holds `count` messages; false after
// `timeout` clock seconds.
bool waitForMessages(const char* serial, int count, double timeout = 60.0);
// Takes every queued message, oldest first.
std::vector<motion_sim::Message> takeMessages(const char* serial);

// Each test starts on a freshly reset rig, with the clock running kSpeed times real time.
class SimulatorTest : public ::testing::Test {
 protected:
  static constexpr double kSpeed = 20.0;

  void SetUp() override;
  void TearDown() override;

  // Opens the stage and enables its channel.
  static void openEnabled(const char* serial);
  // Sets the target and starts the move.
  static void moveTo(const char* serial, double mm);
};

}  // namespace motion_test
