// What homing and moves send to the stage, read back from the simulator's call log.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "lts.h"
#include "motion_sim.h"
#include "panel_ids.h"
#include "rig.h"

namespace {

using motion_sim::kSerials;

class MovesTest : public RigTest {
 protected:
  void SetUp() override {
    RigTest::SetUp();
    connectStages();
  }

  // Device units the last set-position or set-distance call gave the stage, or nothing.
  std::vector<long long> sent(const char* function) {
    std::vector<long long> values;
    for (const motion_sim::Call& call : motion_sim::calls(function)) values.push_back(call.args.at(0));
    return values;
  }
};

TEST_F(MovesTest, MillimetresAreTruncatedTowardZeroToDeviceUnits) {
  struct Case {
    double mm;
    long long units;
  };
  const Case cases[] = {
      {1.0, 409600},   {-1.0, -409600},   {2.3, 942079},    {-2.3, -942079},
      {0.000002, 0},   {-0.000002, 0},    {12.5, 5120000},  {-3.25, -1331200},
      {0.0, 0},        {5242.879, 2147483238}, {-5242.88, -2147483648LL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mm);
    motion_sim::clearCallLog();
    LTS_MoveAbsolute(1, c.mm, 0);
    LTS_MoveRelative(2, c.mm, 0);
    EXPECT_EQ(sent("ISC_SetMoveAbsolutePosition"), std::vector<long long>{c.units});
    EXPECT_EQ(sent("ISC_SetMoveRelativeDistance"), std::vector<long long>{c.units});
    ASSERT_EQ(motion_sim::calls("ISC_MoveAbsolute").size(), 1u);
    EXPECT_EQ(motion_sim::calls("ISC_MoveAbsolute")[0].serial, kSerials[1]);
    ASSERT_EQ(motion_sim::calls("ISC_MoveRelativeDistance").size(), 1u);
    EXPECT_EQ(motion_sim::calls("ISC_MoveRelativeDistance")[0].serial, kSerials[2]);
  }
}

TEST_F(MovesTest, ValuesBeyondTheDeviceUnitRangeAreRefusedWithOneLine) {
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {std::nan(""), inf, -inf, 5242.88, -5242.8801, 1e300, -1e300,
                           std::numeric_limits<double>::max()};
  for (const double mm : values) {
    SCOPED_TRACE(mm);
    motion_sim::clearCallLog();
    newLines();
    LTS_MoveAbsolute(0, mm, 10000);  // asked to wait, yet must not
    LTS_MoveRelative(0, mm, 10000);
    EXPECT_TRUE(motion_sim::callLog().empty());
    const std::vector<std::string> lines = newLines();
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines) {
      EXPECT_EQ(line.rfind("Axis 0: move ", 0), 0u) << line;
      EXPECT_NE(line.find("refused"), std::string::npos) << line;
    }
    int armed = -1;
    GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
    EXPECT_EQ(armed, 0);
  }
}

TEST_F(MovesTest, WithoutAWaitNoWatchdogIsArmedAndNoMessageRead) {
  motion_sim::injectMessage(kSerials[0], 2, 1, 0);
  LTS_MoveAbsolute(0, 1.0, 0);
  LTS_MoveRelative(0, 1.0, 0);
  LTS_Home(0, 0);
  EXPECT_TRUE(motion_sim::calls("ISC_MessageQueueSize").empty());
  EXPECT_TRUE(motion_sim::calls("ISC_GetNextMessage").empty());
  int armed = -1;
  GetCtrlAttribute(p1_h, PANEL_LTSTIMER, ATTR_ENABLED, &armed);
  EXPECT_EQ(armed, 0);
}

TEST_F(MovesTest, HomingWritesBackTheStagesParametersWithOnlyTheDirectionReversed) {
  const MOT_HomingParameters stored{MOT_Forwards, MOT_ForwardLimitSwitch, 123456, 7890};
  motion_sim::setHomingParams(kSerials[2], stored);
  LTS_Home(2, 0);

  std::vector<std::string> order;
  for (const motion_sim::Call& call : motion_sim::callLog()) {
    EXPECT_EQ(call.serial, kSerials[2]) << call.function;
    order.push_back(call.function);
  }
  const std::vector<std::string> expected = {"ISC_GetHomingParamsBlock", "ISC_SetHomingParamsBlock",
                                             "ISC_ClearMessageQueue", "ISC_Home"};
  EXPECT_EQ(order, expected);
  const auto written = motion_sim::calls("ISC_SetHomingParamsBlock");
  ASSERT_EQ(written.size(), 1u);
  EXPECT_EQ(written[0].args, (std::vector<long long>{MOT_Reverse, MOT_ForwardLimitSwitch, 123456, 7890}));
  EXPECT_EQ(newLines(), std::vector<std::string>{"Start Homing..."});
}

TEST_F(MovesTest, AFailedParameterReadStartsNoHoming) {
  motion_sim::failHomingParamsRead(kSerials[1], true);
  LTS_Home(1, 10000);
  const auto log = motion_sim::callLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].function, "ISC_GetHomingParamsBlock");
  const std::vector<std::string> lines = newLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Axis 1: ", 0), 0u) << lines[0];
}

TEST_F(MovesTest, PositionReadsDivideByTheScale) {
  struct Case {
    double stageMm;
    double shown;
  };
  for (const Case c : {Case{1.0, 1.0}, Case{10.0, 10.0}, Case{0.0, 0.0}, Case{2.5, 2.5},
                       Case{1.0 / 409600.0, 0.00000244140625}}) {
    motion_sim::setPosition(kSerials[0], c.stageMm);
    EXPECT_DOUBLE_EQ(LTS_GetPosition(0), c.shown);
  }
}

}  // namespace
