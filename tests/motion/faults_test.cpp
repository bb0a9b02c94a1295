// The injected faults of the test API, as the C interface shows them.
#include <array>
#include <cstring>

#include "motion_test_support.h"
#include "platform_clock.h"

namespace {

using namespace motion_test;
using motion_sim::Message;

class motionFaults : public SimulatorTest {};

// A read that fails with kErrReadFailed leaves its record as it was, byte for byte, and
// succeeds (writing the record) once the fault is cleared.
template <class Record, class Read>
void expectFailingRead(void (*fail)(const std::string&, bool), Read read) {
  Record record;
  std::memset(&record, 0xAB, sizeof record);
  std::array<unsigned char, sizeof(Record)> before;
  std::memcpy(before.data(), &record, sizeof record);
  fail(kX, true);
  EXPECT_EQ(read(&record), motion_sim::kErrReadFailed);
  EXPECT_EQ(std::memcmp(before.data(), &record, sizeof record), 0);
  fail(kX, false);
  EXPECT_EQ(read(&record), 0);
  EXPECT_NE(std::memcmp(before.data(), &record, sizeof record), 0);
}

TEST_F(motionFaults, FailedReadsWriteNothing) {
  ASSERT_EQ(ISC_Open(kX), 0);
  {
    SCOPED_TRACE("device info");
    expectFailingRead<TLI_DeviceInfo>(motion_sim::failDeviceInfo, [](TLI_DeviceInfo* info) {
      return TLI_GetDeviceInfo(kX, info);
    });
  }
  {
    SCOPED_TRACE("homing parameters");
    expectFailingRead<MOT_HomingParameters>(
        motion_sim::failHomingParamsRead,
        [](MOT_HomingParameters* params) { return ISC_GetHomingParamsBlock(kX, params); });
  }
}

TEST_F(motionFaults, FailOpenReturnsItsCodeAndLeavesTheStageClosed) {
  motion_sim::failOpen(kX, 17);
  EXPECT_EQ(ISC_Open(kX), 17);
  EXPECT_FALSE(motion_sim::stage(kX).open);
  EXPECT_EQ(ISC_EnableChannel(kX), motion_sim::kErrNotOpen);
  motion_sim::failOpen(kX, 0);
  EXPECT_EQ(ISC_Open(kX), 0);
  EXPECT_TRUE(motion_sim::stage(kX).open);
}

TEST_F(motionFaults, NeverCompleteRunsMotionsWithoutMessages) {
  openEnabled(kX);
  ISC_RegisterMessageCallback(kX, countCallback);
  motion_sim::neverComplete(kX, true);
  moveTo(kX, 30);  // 0.63 s
  platform_clock::sleepFor(1.5);
  const motion_sim::StageState state = motion_sim::stage(kX);
  EXPECT_EQ(state.positionMm, 30);
  EXPECT_FALSE(state.moving);
  EXPECT_FALSE(state.status & (ISC_STATUS_MOVING_FORWARD | ISC_STATUS_MOVING_REVERSE));
  EXPECT_EQ(ISC_MessageQueueSize(kX), 0);
  EXPECT_EQ(callbackCount, 0);
}

TEST_F(motionFaults, StallFreezesTheStageUntilReleased) {
  openEnabled(kX);
  moveTo(kX, 275);  // 6 s
  platform_clock::sleepFor(0.5);
  motion_sim::stall(kX, true);
  const double frozenAt = motion_sim::stage(kX).positionMm;
  EXPECT_EQ(ISC_Home(kX), 0);
  moveTo(kX, 100);
  platform_clock::sleepFor(7.0);
  const motion_sim::StageState stalled = motion_sim::stage(kX);
  EXPECT_EQ(stalled.positionMm, frozenAt);
  EXPECT_TRUE(stalled.moving);
  EXPECT_TRUE(stalled.status & ISC_STATUS_MOVING_FORWARD);
  EXPECT_FALSE(stalled.status & ISC_STATUS_HOMING);
  EXPECT_EQ(motion_sim::calls("ISC_Home").size(), 1u) << "ignored, but logged";

  motion_sim::stall(kX, false);
  platform_clock::sleepFor(1.0);
  const motion_sim::StageState released = motion_sim::stage(kX);
  EXPECT_EQ(released.positionMm, frozenAt);
  EXPECT_FALSE(released.moving);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 0);
}

TEST_F(motionFaults, InjectedMessagesQueueAndCallBack) {
  ASSERT_EQ(ISC_Open(kX), 0);
  ISC_RegisterMessageCallback(kX, countCallback);
  motion_sim::injectMessage(kX, 2, 9, 1234);
  EXPECT_EQ(callbackCount, 1);
  motion_sim::setQueueSizeError(kX, -1);
  EXPECT_EQ(ISC_MessageQueueSize(kX), -1);
  motion_sim::setQueueSizeError(kX, 0);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 1);
  EXPECT_EQ(takeMessages(kX), (std::vector<Message>{{2, 9, 1234}}));
}

TEST_F(motionFaults, OverriddenStatusIsWhatPollingReports) {
  ASSERT_EQ(ISC_Open(kX), 0);
  ASSERT_TRUE(ISC_StartPolling(kX, 50));
  motion_sim::overrideStatus(kX, 0xDEADu);
  platform_clock::sleepFor(0.05);
  EXPECT_EQ(ISC_GetStatusBits(kX), 0xDEADu);
  EXPECT_EQ(motion_sim::stage(kX).status, ISC_STATUS_CONNECTED);
  motion_sim::overrideStatus(kX, std::nullopt);
  platform_clock::sleepFor(0.05);
  EXPECT_EQ(ISC_GetStatusBits(kX), ISC_STATUS_CONNECTED);
}

}  // namespace
