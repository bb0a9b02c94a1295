// The clock's alarm: a sleep that another thread can cut short, without losing a ring that
// comes before the sleep starts.
#include <gtest/gtest.h>

#include <thread>

#include "platform_clock.h"

namespace {

class AlarmTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_clock::setSpeed(kSpeed); }
  void TearDown() override { platform_clock::setSpeed(1.0); }
  static constexpr double kSpeed = 10.0;  // a 1 s sleep takes 100 ms
};

TEST_F(AlarmTest, WithoutARingTheSleepLastsItsFullTime) {
  platform_clock::Alarm alarm;
  const double start = platform_clock::now();
  EXPECT_FALSE(alarm.sleepFor(0.5, alarm.rings()));
  const double slept = platform_clock::now() - start;
  EXPECT_GE(slept, 0.5);
  EXPECT_LT(slept, 0.5 + 2.0) << "generous: the machine may be busy";
}

TEST_F(AlarmTest, ARingDuringTheSleepEndsItAtOnce) {
  platform_clock::Alarm alarm;
  const unsigned long long seen = alarm.rings();
  double rungAt = 0.0;
  std::thread ringer([&] {
    platform_clock::sleepFor(0.2);
    rungAt = platform_clock::now();
    alarm.ring();
  });
  EXPECT_TRUE(alarm.sleepFor(60.0, seen));
  const double wokeAt = platform_clock::now();
  ringer.join();
  EXPECT_GE(wokeAt, rungAt);
  EXPECT_LT(wokeAt - rungAt, 2.0) << "far below the 60 s asked for";
  EXPECT_EQ(alarm.rings(), seen + 1);
}

TEST_F(AlarmTest, ARingBeforeTheSleepIsNotLost) {
  platform_clock::Alarm alarm;
  const unsigned long long seen = alarm.rings();
  alarm.ring();
  const double start = platform_clock::now();
  EXPECT_TRUE(alarm.sleepFor(60.0, seen));
  EXPECT_LT(platform_clock::now() - start, 2.0);
  // A count taken after the ring sleeps again.
  EXPECT_FALSE(alarm.sleepFor(0.05, alarm.rings()));
}

}  // namespace
