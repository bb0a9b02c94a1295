// The platform clock: clock time to real time at a given speed, and a clock time that never
// goes back while the speed changes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>

#include "platform_clock.h"

namespace {

using std::chrono::nanoseconds;

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override { platform_clock::setSpeed(1.0); }
};

TEST_F(ClockTest, RealDurationScalesWithSpeedAndSaturates) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double speed;
    double seconds;
    nanoseconds real;
  };
  const Case cases[] = {
      {1.0, 1.0, nanoseconds(1'000'000'000)},
      {10.0, 1.0, nanoseconds(100'000'000)},
      {200.0, 10.0, nanoseconds(50'000'000)},
      {1.0, 0.0, nanoseconds(0)},
      {1.0, -5.0, nanoseconds(0)},
      {1.0, std::nan(""), nanoseconds(0)},
      // Too long for a nanosecond count: the longest one, not an overflow.
      {1.0, 1e10, nanoseconds::max()},
      {1.0, 1e300, nanoseconds::max()},
      {1.0, inf, nanoseconds::max()},
      {1e-12, 1.0, nanoseconds::max()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.seconds << " s at speed " << c.speed);
    platform_clock::setSpeed(c.speed);
    EXPECT_EQ(platform_clock::realDuration(c.seconds), c.real);
  }
}

TEST_F(ClockTest, ClockTimeNeverGoesBackWhileTheSpeedChanges) {
  std::atomic<bool> done{false};
  std::thread changer([&] {
    for (int i = 0; i < 20000; i++) platform_clock::setSpeed(i % 2 == 0 ? 1000.0 : 0.001);
    done = true;
  });
  auto readUntilDone = [&] {
    double last = platform_clock::now();
    int backwards = 0;
    while (!done) {
      const double t = platform_clock::now();
      if (t < last) backwards++;
      last = t;
    }
    return backwards;
  };
  int otherThread = -1;
  std::thread reader([&] { otherThread = readUntilDone(); });
  EXPECT_EQ(readUntilDone(), 0);
  reader.join();
  changer.join();
  EXPECT_EQ(otherThread, 0);
}

}  // namespace
