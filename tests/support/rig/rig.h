// Fixture for the program's layers: the real panel file loaded as p1_h, the simulated rig at
// power-on, the platform clock sped up so that seconds of waiting take milliseconds.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

class RigTest : public ::testing::Test {
 protected:
  // Clock seconds per real second in these tests.
  static constexpr double kSpeed = 200.0;

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
