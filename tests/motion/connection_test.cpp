// Opening and closing stages, the answers of unknown and closed stages, device information,
// unit conversion and the homing parameters, through the C interface.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "motion_test_support.h"

namespace {

using namespace motion_test;
using motion_sim::kErrAlreadyOpen;
using motion_sim::kErrInvalidArgument;
using motion_sim::kErrNotFound;
using motion_sim::kErrNotOpen;

class motionConnection : public SimulatorTest {};

// Every call that returns a code, by name, addressed to one stage.
using CodeCalls = std::vector<std::pair<const char*, std::function<short(const char*)>>>;
const CodeCalls& codeCalls() {
  static const CodeCalls calls = {
      {"EnableChannel", ISC_EnableChannel},
      {"DisableChannel", ISC_DisableChannel},
      {"SetLEDswitches", [](const char* s) { return ISC_SetLEDswitches(s, 1); }},
      {"StopProfiled", ISC_StopProfiled},
      {"SetMoveAbsolutePosition",
       [](const char* s) { return ISC_SetMoveAbsolutePosition(s, du(50)); }},
      {"SetMoveRelativeDistance",
       [](const char* s) { return ISC_SetMoveRelativeDistance(s, du(5)); }},
      {"Home", ISC_Home},
      {"MoveAbsolute", ISC_MoveAbsolute},
      {"MoveRelativeDistance", ISC_MoveRelativeDistance},
      {"GetHomingParamsBlock",
       [](const char* s) {
         MOT_HomingParameters p{};
         return ISC_GetHomingParamsBlock(s, &p);
       }},
      {"SetHomingParamsBlock",
       [](const char* s) {
         MOT_HomingParameters p{};
         return ISC_SetHomingParamsBlock(s, &p);
       }},
      {"GetRealValueFromDeviceUnit",
       [](const char* s) {
         double r = 0;
         return ISC_GetRealValueFromDeviceUnit(s, 1, &r, 0);
       }},
      {"GetDeviceUnitFromRealValue",
       [](const char* s) {
         int d = 0;
         return ISC_GetDeviceUnitFromRealValue(s, 1.0, &d, 0);
       }},
  };
  return calls;
}

TEST_F(motionConnection, StagesThatAreMissingOrClosedAnswerWithCodes) {
  struct Case {
    const char* name;
    const char* serial;
    short code;
  };
  ASSERT_EQ(ISC_Open(kY), 0);
  ISC_Close(kY);
  for (const Case& c :
       {Case{"unknown", "12345678", kErrNotFound}, Case{"null", nullptr, kErrNotFound},
        Case{"never opened", kX, kErrNotOpen}, Case{"closed", kY, kErrNotOpen}}) {
    for (const auto& [name, call] : codeCalls()) {
      EXPECT_EQ(call(c.serial), c.code) << c.name << ": " << name;
    }
    EXPECT_FALSE(ISC_StartPolling(c.serial, 100)) << c.name;
    EXPECT_EQ(ISC_GetNumberPositions(c.serial), 0) << c.name;
    EXPECT_EQ(ISC_MessageQueueSize(c.serial), 0) << c.name;
    WORD type = 7;
    WORD id = 7;
    DWORD data = 7;
    EXPECT_FALSE(ISC_GetNextMessage(c.serial, &type, &id, &data)) << c.name;
    EXPECT_EQ(type + id + data, 21u) << c.name << ": outputs untouched";
    ISC_RegisterMessageCallback(c.serial, countCallback);
    ISC_StopPolling(c.serial);
    ISC_ClearMessageQueue(c.serial);
    ISC_Close(c.serial);
  }
  EXPECT_EQ(ISC_Open("12345678"), kErrNotFound);
  EXPECT_EQ(ISC_Open(nullptr), kErrNotFound);
  EXPECT_EQ(motion_sim::stage(kX).registeredCallbacks, 0);
  EXPECT_FALSE(motion_sim::stage(kX).moving);
  EXPECT_EQ(motion_sim::stage(kX).positionMm, motion_sim::kStartPositionMm);
}

TEST_F(motionConnection, OpenStageAcceptsEveryCall) {
  ASSERT_EQ(ISC_Open(kX), 0);
  EXPECT_EQ(ISC_Open(kX), kErrAlreadyOpen);
  for (const auto& [name, call] : codeCalls()) EXPECT_EQ(call(kX), 0) << name;
  EXPECT_EQ(ISC_GetNumberPositions(kX), du(motion_sim::kTravelMm));
  EXPECT_TRUE(motion_sim::stage(kX).open);
  EXPECT_FALSE(motion_sim::stage(kY).open);
}

TEST_F(motionConnection, ClosedStageReportsItsLastSample) {
  EXPECT_EQ(ISC_GetPosition(kX), 0) << "never sampled";
  ASSERT_EQ(ISC_Open(kX), 0);
  motion_sim::setPosition(kX, 40);
  ISC_Close(kX);
  EXPECT_FALSE(motion_sim::stage(kX).open);
  EXPECT_EQ(ISC_GetPosition(kX), du(40));
  EXPECT_EQ(ISC_GetStatusBits(kX), ISC_STATUS_CONNECTED);
  EXPECT_EQ(ISC_GetPosition("12345678"), 0);
  EXPECT_EQ(ISC_GetStatusBits(nullptr), 0u);
}

TEST_F(motionConnection, DeviceInfoDescribesEachAxis) {
  EXPECT_EQ(TLI_BuildDeviceList(), 0);
  const char axes[] = "XYZ";
  for (int i = 0; i < 3; ++i) {
    TLI_DeviceInfo info{};
    ASSERT_EQ(TLI_GetDeviceInfo(motion_sim::kSerials[i], &info), 0);
    EXPECT_EQ(std::string(info.description), std::string("Integrated stepper stage ") + axes[i]);
    EXPECT_STREQ(info.serialNo, motion_sim::kSerials[i]);
    EXPECT_EQ(DWORD{info.typeID}, 45u);  // packed fields: copy, do not bind
    EXPECT_EQ(MOT_MotorTypes{info.motorType}, MOT_StepperMotor);
    EXPECT_EQ(short{info.maxChannels}, 1);
    EXPECT_TRUE(info.isKnownType);
  }
  TLI_DeviceInfo info{};
  EXPECT_EQ(TLI_GetDeviceInfo("12345678", &info), kErrNotFound);
  EXPECT_EQ(TLI_GetDeviceInfo(nullptr, &info), kErrNotFound);
  EXPECT_EQ(TLI_GetDeviceInfo(kX, nullptr), kErrInvalidArgument);
}

TEST_F(motionConnection, UnitsConvertAt409600PerMillimetre) {
  ASSERT_EQ(ISC_Open(kX), 0);
  struct Case {
    int unitType;
    int units;
    double real;
  };
  for (const Case& c :
       {Case{0, du(12.5), 12.5}, Case{1, du(50), 50.0}, Case{2, du(-3), -3.0}, Case{0, 0, 0.0}}) {
    double real = 0;
    int units = 0;
    EXPECT_EQ(ISC_GetRealValueFromDeviceUnit(kX, c.units, &real, c.unitType), 0);
    EXPECT_EQ(real, c.real);
    EXPECT_EQ(ISC_GetDeviceUnitFromRealValue(kX, c.real, &units, c.unitType), 0);
    EXPECT_EQ(units, c.units);
  }
  int units = 0;
  EXPECT_EQ(ISC_GetDeviceUnitFromRealValue(kX, 1.0 + 0.6 / motion_sim::kStepsPerMm, &units, 0), 0);
  EXPECT_EQ(units, du(1) + 1) << "rounds to nearest";
}

TEST_F(motionConnection, InvalidConversionsFailAndLeaveOutputs) {
  ASSERT_EQ(ISC_Open(kX), 0);
  for (int unitType : {-1, 3}) {
    double real = 7;
    int units = 7;
    EXPECT_EQ(ISC_GetRealValueFromDeviceUnit(kX, 1, &real, unitType), kErrInvalidArgument);
    EXPECT_EQ(ISC_GetDeviceUnitFromRealValue(kX, 1.0, &units, unitType), kErrInvalidArgument);
    EXPECT_EQ(real, 7);
    EXPECT_EQ(units, 7);
  }
  for (double real :
       {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), 1e10, -1e10}) {
    int units = 7;
    EXPECT_EQ(ISC_GetDeviceUnitFromRealValue(kX, real, &units, 0), kErrInvalidArgument) << real;
    EXPECT_EQ(units, 7);
  }
  EXPECT_EQ(ISC_GetRealValueFromDeviceUnit(kX, 1, nullptr, 0), kErrInvalidArgument);
  EXPECT_EQ(ISC_GetDeviceUnitFromRealValue(kX, 1.0, nullptr, 0), kErrInvalidArgument);
}

TEST_F(motionConnection, HomingParametersAreStoredPerStage) {
  ASSERT_EQ(ISC_Open(kX), 0);
  ASSERT_EQ(ISC_Open(kY), 0);
  MOT_HomingParameters defaults{};
  ASSERT_EQ(ISC_GetHomingParamsBlock(kX, &defaults), 0);
  EXPECT_EQ(MOT_TravelDirection{defaults.direction}, MOT_Forwards);  // packed: copy, do not bind
  EXPECT_EQ(MOT_HomeLimitSwitchDirection{defaults.limitSwitch}, MOT_ReverseLimitSwitch);
  EXPECT_NE(unsigned{defaults.velocity}, 0u);
  EXPECT_NE(unsigned{defaults.offsetDistance}, 0u);

  MOT_HomingParameters set{MOT_Reverse, MOT_ForwardLimitSwitch, 123, 456};
  ASSERT_EQ(ISC_SetHomingParamsBlock(kX, &set), 0);
  MOT_HomingParameters x{};
  MOT_HomingParameters y{};
  ASSERT_EQ(ISC_GetHomingParamsBlock(kX, &x), 0);
  ASSERT_EQ(ISC_GetHomingParamsBlock(kY, &y), 0);
  EXPECT_EQ(std::memcmp(&x, &set, sizeof x), 0);
  EXPECT_EQ(std::memcmp(&y, &defaults, sizeof y), 0);
  EXPECT_EQ(ISC_GetHomingParamsBlock(kX, nullptr), kErrInvalidArgument);
  EXPECT_EQ(ISC_SetHomingParamsBlock(kX, nullptr), kErrInvalidArgument);
}

}  // namespace
