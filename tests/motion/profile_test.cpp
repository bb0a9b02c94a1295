// The motion profile: durations, positions and velocities at chosen instants.
#include "sim/profile.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "motion_sim.h"

namespace {

using motion_sim::kAcceleration;
using motion_sim::kHomingVelocity;
using motion_sim::kMaxVelocity;
using motion_sim::detail::Profile;

constexpr double kTolerance = 1e-9;

struct MoveCase {
  const char* name;
  double from, to, speed;
  double duration;
  std::vector<std::pair<double, double>> positions;  // {elapsed s, mm}
};

TEST(motionProfile, MovesFromRestToRest) {
  const std::vector<MoveCase> cases = {
      // 1 s up to 50 mm/s (25 mm), 1 s cruise (50 mm), 1 s down (25 mm).
      {"trapezoid", 25, 125, kMaxVelocity, 3.0, {{-1, 25}, {1, 50}, {2.5, 118.75}, {9, 125}}},
      // 18 mm never reaches full speed: peaks at 30 mm/s after 0.6 s and 9 mm.
      {"triangle", 25, 43, kMaxVelocity, 1.2, {{0.3, 27.25}, {0.6, 34}, {0.9, 40.75}, {1.2, 43}}},
      {"reverse", 200, 50, kMaxVelocity, 4.0, {{1, 175}, {3, 75}, {4, 50}}},
      // Homing speed: 0.2 s up to 10 mm/s (1 mm), 2.3 s cruise, 0.2 s down.
      {"homing", 25, 0, kHomingVelocity, 2.7, {{0.2, 24}, {2.5, 1}, {2.7, 0}}},
      {"nowhere", 40, 40, kMaxVelocity, 0.0, {{0, 40}, {1, 40}}},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Profile p = Profile::move(c.from, c.to, c.speed, kAcceleration);
    EXPECT_NEAR(p.duration(), c.duration, kTolerance);
    EXPECT_EQ(p.end(), c.to);
    for (const auto& [elapsed, mm] : c.positions) {
      EXPECT_NEAR(p.positionAt(elapsed), mm, kTolerance) << "at " << elapsed << " s";
    }
  }
}

TEST(motionProfile, VelocityRampsCruisesAndStops) {
  const Profile forward = Profile::move(25, 125, kMaxVelocity, kAcceleration);
  const std::vector<std::pair<double, double>> velocities = {{-1, 0},   {0.5, 25}, {1.5, 50},
                                                             {2.5, 25}, {3, 0},    {4, 0}};
  for (const auto& [elapsed, velocity] : velocities) {
    EXPECT_NEAR(forward.velocityAt(elapsed), velocity, kTolerance) << "at " << elapsed << " s";
  }
  const Profile reverse = Profile::move(125, 25, kMaxVelocity, kAcceleration);
  EXPECT_EQ(reverse.direction(), -1);
  EXPECT_NEAR(reverse.velocityAt(1.5), -50, kTolerance);
}

TEST(motionProfile, BrakesFromSpeedToRest) {
  // From 50 mm/s: 1 s and 25 mm to rest; from -20 mm/s: 0.4 s and 4 mm.
  const Profile forward = Profile::brake(100, 50, kAcceleration);
  EXPECT_NEAR(forward.duration(), 1.0, kTolerance);
  EXPECT_NEAR(forward.end(), 125, kTolerance);
  EXPECT_NEAR(forward.positionAt(0.5), 118.75, kTolerance);
  EXPECT_NEAR(forward.velocityAt(0.0), 50, kTolerance);

  const Profile reverse = Profile::brake(100, -20, kAcceleration);
  EXPECT_EQ(reverse.direction(), -1);
  EXPECT_NEAR(reverse.duration(), 0.4, kTolerance);
  EXPECT_NEAR(reverse.end(), 96, kTolerance);
  EXPECT_NEAR(reverse.velocityAt(0.2), -10, kTolerance);
}

TEST(motionProfile, JumpTakesNoTime) {
  const Profile p = Profile::jump(25, 280);
  EXPECT_EQ(p.duration(), 0.0);
  EXPECT_EQ(p.positionAt(0.0), 280);
  EXPECT_EQ(p.velocityAt(0.0), 0.0);
}

}  // namespace
