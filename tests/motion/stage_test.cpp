// One simulated stage driven at chosen clock times: exact positions, status bits, samples
// and completions, without waiting on the clock.
#include "sim/stage.h"

#include <gtest/gtest.h>

#include <vector>

#include "motion_test_support.h"

namespace {

using motion_sim::Message;
using motion_sim::detail::Stage;
using motion_test::du;

constexpr DWORD kOpenEnabled = ISC_STATUS_CONNECTED | ISC_STATUS_ENABLED;
constexpr Message kMoved{MOT_GenericMotorMessage, MOT_Moved, 0};
constexpr Message kStopped{MOT_GenericMotorMessage, MOT_Stopped, 0};
constexpr Message kHomed{MOT_GenericMotorMessage, MOT_Homed, 0};

void noteCallback() {}

// Open, enabled, at 25 mm, with a callback, at t = 0.
Stage readyStage() {
  Stage stage;
  EXPECT_EQ(stage.open(0.0), 0);
  stage.setEnabled(0.0, true);
  stage.registerCallback(noteCallback);
  return stage;
}

void startMove(Stage& stage, double now, double mm) {
  stage.moveTarget = du(mm);
  stage.moveToTarget(now);
}

// Finishes the current motion, as the rig does once the clock has passed its end.
std::vector<Message> finish(Stage& stage) {
  if (stage.motionEnd()) {
    EXPECT_EQ(stage.finishMotion(), &noteCallback);
  }
  std::vector<Message> messages;
  while (auto m = stage.takeMessage()) messages.push_back(*m);
  return messages;
}

TEST(motionStage, MoveFollowsItsProfileAndEndsWithMoved) {
  Stage stage = readyStage();
  startMove(stage, 1.0, 125);
  ASSERT_EQ(stage.motionEnd(), 4.0);
  struct Point {
    double t, mm;
    DWORD status;
  };
  for (const Point& p : std::vector<Point>{{1.0, 25, kOpenEnabled | ISC_STATUS_MOVING_FORWARD},
                                           {2.0, 50, kOpenEnabled | ISC_STATUS_MOVING_FORWARD},
                                           {3.5, 118.75, kOpenEnabled | ISC_STATUS_MOVING_FORWARD},
                                           {4.0, 125, kOpenEnabled}}) {
    const motion_sim::StageState state = stage.snapshot(p.t);
    EXPECT_DOUBLE_EQ(state.positionMm, p.mm) << "at " << p.t;
    EXPECT_EQ(state.status, p.status) << "at " << p.t;
  }
  EXPECT_EQ(finish(stage), std::vector<Message>{kMoved});
  EXPECT_FALSE(stage.snapshot(9.0).moving);
}

TEST(motionStage, SamplesAreTakenAtPollInstantsOnly) {
  Stage stage = readyStage();  // sampled at open: disabled, 25 mm
  startMove(stage, 1.0, 125);
  EXPECT_EQ(stage.sampledPosition(2.0), du(25)) << "no polling: the sample at open";
  EXPECT_EQ(stage.sampledStatus(2.0), ISC_STATUS_CONNECTED);

  ASSERT_TRUE(stage.startPolling(2.0, 250));  // instants 2.0, 2.25, 2.5, ...
  EXPECT_EQ(stage.sampledPosition(2.0), du(50));
  EXPECT_EQ(stage.sampledPosition(2.2), du(50));
  EXPECT_EQ(stage.sampledPosition(3.6), du(118.75)) << "the instant 3.5";
  EXPECT_EQ(stage.sampledStatus(3.6), kOpenEnabled | ISC_STATUS_MOVING_FORWARD);

  stage.stopPolling(3.8);  // takes no sample beyond the instant 3.75
  EXPECT_EQ(stage.sampledPosition(9.0), du(123.4375));
  EXPECT_EQ(stage.sampledStatus(9.0), kOpenEnabled | ISC_STATUS_MOVING_FORWARD);
}

TEST(motionStage, SampleBeforeACommandKeepsTheOldMotion) {
  Stage stage = readyStage();
  ASSERT_TRUE(stage.startPolling(0.0, 1000));
  startMove(stage, 0.0, 125);  // reaches 50 mm at t = 1
  startMove(stage, 1.5, 0);    // from 75 mm, superseding
  EXPECT_EQ(stage.sampledPosition(1.9), du(50)) << "sampled at 1.0, before the new move";
  EXPECT_EQ(stage.sampledPosition(2.0), du(68.75));
  EXPECT_EQ(finish(stage), std::vector<Message>{kMoved}) << "only the last motion reports";
}

TEST(motionStage, HomingRunsToZeroThenReportsHomed) {
  Stage stage = readyStage();
  stage.home(0.0);  // 25 mm at 10 mm/s: 2.7 s
  EXPECT_EQ(stage.snapshot(1.0).status,
            kOpenEnabled | ISC_STATUS_HOMING | ISC_STATUS_MOVING_REVERSE);
  EXPECT_FALSE(stage.snapshot(1.0).homed);
  ASSERT_DOUBLE_EQ(*stage.motionEnd(), 2.7);
  EXPECT_EQ(finish(stage), std::vector<Message>{kHomed});
  const motion_sim::StageState homed = stage.snapshot(3.0);
  EXPECT_EQ(homed.positionMm, 0.0);
  EXPECT_EQ(homed.status, kOpenEnabled | ISC_STATUS_HOMED | ISC_STATUS_REVERSE_LIMIT);

  startMove(stage, 3.0, 10);
  stage.home(4.0);
  EXPECT_FALSE(stage.snapshot(4.1).homed) << "homing again clears the homed bit";
}

TEST(motionStage, TargetsBeyondTravelStopAtTheLimitSwitch) {
  struct Case {
    double target, end;
    DWORD limit;
  };
  for (const Case& c :
       {Case{350, 300, ISC_STATUS_FORWARD_LIMIT}, Case{-10, 0, ISC_STATUS_REVERSE_LIMIT}}) {
    SCOPED_TRACE(c.target);
    Stage stage = readyStage();
    startMove(stage, 0.0, c.target);
    EXPECT_EQ(finish(stage), std::vector<Message>{kStopped});
    EXPECT_EQ(stage.snapshot(10.0).positionMm, c.end);
    EXPECT_EQ(stage.snapshot(10.0).status, kOpenEnabled | c.limit);
  }
}

TEST(motionStage, StopProfiledBrakesAtFullDeceleration) {
  Stage stage = readyStage();
  stage.stopProfiled(0.0);
  EXPECT_FALSE(stage.motionEnd()) << "a stage at rest has nothing to stop";

  startMove(stage, 0.0, 225);  // at 100 mm and 50 mm/s at t = 2
  stage.stopProfiled(2.0);
  ASSERT_EQ(stage.motionEnd(), 3.0);
  EXPECT_EQ(finish(stage), std::vector<Message>{kStopped});
  EXPECT_EQ(stage.snapshot(3.0).positionMm, 125);
}

TEST(motionStage, RelativeMoveStartsFromThePositionAtItsStart) {
  Stage stage = readyStage();
  startMove(stage, 0.0, 125);
  stage.moveDistance = du(-10);
  stage.moveByDistance(2.0);  // from 100 mm
  EXPECT_EQ(finish(stage), std::vector<Message>{kMoved});
  EXPECT_EQ(stage.snapshot(9.0).positionMm, 90);
}

TEST(motionStage, DisabledStageDoesNotMove) {
  Stage stage = readyStage();
  startMove(stage, 0.0, 125);
  stage.setEnabled(2.0, false);  // stops at 100 mm, without a message
  EXPECT_FALSE(stage.motionEnd());
  startMove(stage, 3.0, 200);
  stage.home(3.0);
  EXPECT_FALSE(stage.motionEnd());
  EXPECT_TRUE(finish(stage).empty());
  const motion_sim::StageState state = stage.snapshot(9.0);
  EXPECT_EQ(state.positionMm, 100);
  EXPECT_EQ(state.status, ISC_STATUS_CONNECTED);
}

TEST(motionStage, StallFreezesTheMotionUntilReleased) {
  Stage stage = readyStage();
  startMove(stage, 0.0, 125);
  stage.stall(2.0, true);
  stage.stall(2.5, true);  // already stalled: stays frozen at 2.0
  EXPECT_FALSE(stage.motionEnd()) << "a stalled motion never ends";
  startMove(stage, 3.0, 0);
  stage.setEnabled(3.0, false);
  const motion_sim::StageState stalled = stage.snapshot(50.0);
  EXPECT_EQ(stalled.positionMm, 100);
  EXPECT_EQ(stalled.status, kOpenEnabled | ISC_STATUS_MOVING_FORWARD);

  stage.stall(60.0, false);
  const motion_sim::StageState released = stage.snapshot(61.0);
  EXPECT_EQ(released.positionMm, 100);
  EXPECT_EQ(released.status, kOpenEnabled);
  EXPECT_TRUE(finish(stage).empty());
}

TEST(motionStage, NeverCompleteEndsMotionsSilently) {
  Stage stage = readyStage();
  stage.faults.neverComplete = true;
  stage.home(0.0);
  EXPECT_EQ(stage.finishMotion(), nullptr);
  EXPECT_EQ(stage.queueSize(), 0);
  EXPECT_EQ(stage.snapshot(5.0).status, kOpenEnabled | ISC_STATUS_HOMED | ISC_STATUS_REVERSE_LIMIT);
}

TEST(motionStage, OverriddenStatusIsSampledLikeTheTrueOne) {
  Stage stage = readyStage();
  ASSERT_TRUE(stage.startPolling(0.0, 250));
  stage.overrideStatus(1.1, 0x1234u);
  EXPECT_EQ(stage.sampledStatus(1.2), kOpenEnabled) << "sampled at 1.0";
  EXPECT_EQ(stage.sampledStatus(1.3), 0x1234u);
  EXPECT_EQ(stage.snapshot(1.3).status, kOpenEnabled) << "the true status is unchanged";
  stage.overrideStatus(1.4, std::nullopt);
  EXPECT_EQ(stage.sampledStatus(1.5), kOpenEnabled);
}

TEST(motionStage, SetPositionPlacesTheStageAndItsSampleAtOnce) {
  Stage stage = readyStage();
  startMove(stage, 0.0, 125);
  stage.setPosition(1.0, 400);  // clamped to travel
  EXPECT_FALSE(stage.motionEnd());
  EXPECT_EQ(stage.sampledPosition(1.0), du(300));
  EXPECT_EQ(stage.sampledStatus(1.0), kOpenEnabled | ISC_STATUS_FORWARD_LIMIT);
}

TEST(motionStage, InstantMovesEndWhereTheyStart) {
  Stage stage = readyStage();
  stage.setInstantMoves(true);
  startMove(stage, 5.0, 280);
  EXPECT_EQ(stage.motionEnd(), 5.0);
  EXPECT_EQ(stage.snapshot(5.0).positionMm, 280);
  EXPECT_EQ(finish(stage), std::vector<Message>{kMoved});
}

TEST(motionStage, ClosingStopsMotionAndKeepsTheLastSample) {
  Stage stage = readyStage();
  ASSERT_TRUE(stage.startPolling(0.0, 500));
  startMove(stage, 0.0, 125);
  stage.close(1.7);  // at 85 mm; last polled at 1.5, at 75 mm
  EXPECT_FALSE(stage.motionEnd());
  EXPECT_EQ(stage.sampledPosition(9.0), du(75));
  EXPECT_EQ(stage.sampledStatus(9.0), kOpenEnabled | ISC_STATUS_MOVING_FORWARD);
  EXPECT_EQ(stage.snapshot(9.0).status, ISC_STATUS_ENABLED);
  EXPECT_NEAR(stage.snapshot(9.0).positionMm, 85, 1e-9);
  EXPECT_EQ(stage.open(9.0), 0);
  EXPECT_EQ(stage.open(9.0), motion_sim::kErrAlreadyOpen);
}

}  // namespace
