// Fixture for the program's layers: the real panel file loaded as p1_h, the simulated rig at
// power-on, the platform clock sped up so that seconds of waiting take milliseconds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The simulated rig at power-on, and the platform clock at `speed` times real time until the
// test ends.
class SimulatedRigTest : public ::testing::Test {
 protected:
  explicit SimulatedRigTest(double speed) : speed_(speed) {}
  void SetUp() override;
  void TearDown() override;

 private:
  double speed_;
};

// Also the real panel file loaded as p1_h, without the program's entry.
class RigTest : public SimulatedRigTest {
 protected:
  RigTest() : SimulatedRigTest(200.0) {}
  void SetUp() override;
  void TearDown() override;

  // Opens and polls the three stages as the program's start-up does.
  void connectStages();
  // Lines printed since SetUp (or the last call), in order.
  std::vector<std::string> newLines();
  // Runs `work` on a pool thread while this (the main) thread processes GUI events, so
  // that timer callbacks such as the watchdog's tick are delivered meanwhile.
  void runOffMainThread(void (*work)(void*), void* data);
};
