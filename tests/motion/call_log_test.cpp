// The call log: what each call of the C interface leaves in it, and its bounded size.
#include "sim/call_log.h"

#include "motion_test_support.h"
#include "platform_clock.h"

namespace {

using namespace motion_test;
using motion_sim::Call;

class motionCallLog : public SimulatorTest {};

TEST_F(motionCallLog, RecordsEachCallWithItsArgumentsInDeviceUnits) {
  EXPECT_EQ(TLI_BuildDeviceList(), 0);
  ASSERT_EQ(ISC_Open(kX), 0);
  ASSERT_EQ(ISC_SetMoveAbsolutePosition(kX, 409600), 0);
  ASSERT_EQ(ISC_SetMoveRelativeDistance("unknown", -20), motion_sim::kErrNotFound);
  int units = 0;
  ASSERT_EQ(ISC_GetDeviceUnitFromRealValue(kX, 2.5, &units, 1), 0);
  MOT_HomingParameters params{MOT_Reverse, MOT_ForwardLimitSwitch, 4096000, 204800};
  ASSERT_EQ(ISC_SetHomingParamsBlock(kX, &params), 0);
  ASSERT_EQ(ISC_GetHomingParamsBlock(kX, &params), 0);
  EXPECT_TRUE(ISC_StartPolling(kX, 200));

  const std::vector<Call> expected = {
      {"TLI_BuildDeviceList", "", {}, {}},
      {"ISC_Open", kX, {}, {}},
      {"ISC_SetMoveAbsolutePosition", kX, {409600}, {}},
      {"ISC_SetMoveRelativeDistance", "unknown", {-20}, {}},
      {"ISC_GetDeviceUnitFromRealValue", kX, {1}, {2.5}},
      {"ISC_SetHomingParamsBlock", kX, {MOT_Reverse, MOT_ForwardLimitSwitch, 4096000, 204800}, {}},
      {"ISC_GetHomingParamsBlock", kX, {}, {}},
      {"ISC_StartPolling", kX, {200}, {}},
  };
  EXPECT_EQ(motion_sim::callLog(), expected);
  EXPECT_EQ(motion_sim::calls("ISC_SetMoveAbsolutePosition"), std::vector<Call>{expected[2]});

  motion_sim::clearCallLog();
  EXPECT_TRUE(motion_sim::callLog().empty());
}

TEST_F(motionCallLog, RecordsTheClockTimeOfEachCall) {
  const double before = platform_clock::now();
  ISC_Open(kX);
  platform_clock::sleepFor(0.5);
  ISC_Open(kY);
  const double after = platform_clock::now();
  const std::vector<double> times = motion_sim::callTimes("ISC_Open");
  ASSERT_EQ(times.size(), 2u);
  EXPECT_GE(times[0], before);
  EXPECT_GE(times[1] - times[0], 0.5);
  EXPECT_LE(times[1], after);
}

TEST(motionCallLogCapacity, KeepsTheMostRecentCalls) {
  motion_sim::detail::CallLog log(3);
  for (long long i = 0; i < 5; ++i) log.add("F", "S", {i}, std::nullopt, 10.0 * i);
  const std::vector<Call> kept = log.all();
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept.front().args, std::vector<long long>{2});
  EXPECT_EQ(kept.back().args, std::vector<long long>{4});
  EXPECT_EQ(log.timesOf("F"), (std::vector<double>{20.0, 30.0, 40.0}));
  EXPECT_EQ(log.count("F"), 5u);
  log.setCapacity(0);  // logs nothing more, but still counts
  log.add("F", "S", {5}, std::nullopt, 50.0);
  EXPECT_TRUE(log.all().empty());
  EXPECT_EQ(log.count("F"), 6u);
  EXPECT_EQ(log.count("G"), 0u);
}

}  // namespace
