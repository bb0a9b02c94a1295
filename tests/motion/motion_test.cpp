// Motions through the C interface in platform-clock time: durations, messages and their
// callbacks, limits, stops, disabled stages, homing and polled samples. The clock runs
// SimulatorTest::kSpeed times real time; the exact arithmetic is in stage_test.cpp.
#include <string>

#include "motion_test_support.h"
#include "platform_clock.h"

namespace {

using namespace motion_test;
using motion_sim::Message;

constexpr Message kMoved{MOT_GenericMotorMessage, MOT_Moved, 0};
constexpr Message kStopped{MOT_GenericMotorMessage, MOT_Stopped, 0};
constexpr Message kHomed{MOT_GenericMotorMessage, MOT_Homed, 0};

class motionMoves : public SimulatorTest {};

std::string completions;  // stages whose message callbacks ran, in order (one thread only)

TEST_F(motionMoves, MoveLastsAsLongAsItsProfile) {
  // Slower than the others: the upper bound's 2 s are then 400 ms of real delay, which a
  // loaded machine does not reach (at 20 times it did, at 100 ms).
  platform_clock::setSpeed(5.0);
  openEnabled(kX);
  struct Case {
    double to;
    double seconds;
  };
  // 100 mm: 1 s up, 1 s cruise, 1 s down; 18 mm: triangular, 0.6 s up and down.
  for (const Case& c : {Case{125, 3.0}, Case{43, 1.2}}) {
    SCOPED_TRACE(c.to);
    motion_sim::setPosition(kX, 25);
    const double start = platform_clock::now();
    moveTo(kX, c.to);
    ASSERT_TRUE(waitForMessages(kX, 1));
    const double took = platform_clock::now() - start;
    EXPECT_GE(took, c.seconds - 1e-9);
    EXPECT_LT(took, c.seconds + 2.0) << "generous: the machine may be busy";
    EXPECT_EQ(takeMessages(kX), std::vector<Message>{kMoved});
    EXPECT_EQ(motion_sim::stage(kX).positionMm, c.to);
  }
}

TEST_F(motionMoves, MessagesQueueInOrderEachWithOneCallback) {
  openEnabled(kX);
  ISC_RegisterMessageCallback(kX, countCallback);
  moveTo(kX, 30);
  ASSERT_TRUE(waitForMessages(kX, 1));
  ASSERT_EQ(ISC_Home(kX), 0);
  ASSERT_TRUE(waitForMessages(kX, 2));
  EXPECT_EQ(callbackCount, 2);
  EXPECT_EQ(motion_sim::stage(kX).queue, (std::vector<Message>{kMoved, kHomed}));
  EXPECT_EQ(takeMessages(kX), (std::vector<Message>{kMoved, kHomed}));

  WORD type = 7;
  WORD id = 7;
  DWORD data = 7;
  EXPECT_FALSE(ISC_GetNextMessage(kX, &type, &id, &data));
  EXPECT_EQ(type + id + data, 21u) << "an empty queue writes nothing";
}

TEST_F(motionMoves, MotionsOfSeveralStagesCompleteInEndTimeOrder) {
  completions.clear();
  openEnabled(kX);
  openEnabled(kY);
  ISC_RegisterMessageCallback(kX, [] { completions += 'X'; });
  ISC_RegisterMessageCallback(kY, [] { completions += 'Y'; });
  moveTo(kX, 35);                 // 10 mm: 0.89 s
  moveTo(kY, 26);                 // 1 mm: 0.28 s, ends first
  platform_clock::sleepFor(2.0);  // no call meanwhile: both end on the next one
  EXPECT_EQ(ISC_MessageQueueSize(kX), 1);
  EXPECT_EQ(completions, "YX");
}

TEST_F(motionMoves, InstantMovesCompleteWithinTheirCall) {
  motion_sim::setInstantMoves(true);
  openEnabled(kX);
  ISC_RegisterMessageCallback(kX, countCallback);
  ASSERT_EQ(ISC_SetMoveAbsolutePosition(kX, du(280)), 0);
  ASSERT_EQ(ISC_MoveAbsolute(kX), 0);
  EXPECT_EQ(callbackCount, 1) << "called before the move returned";
  ASSERT_EQ(ISC_Home(kX), 0);
  EXPECT_EQ(callbackCount, 2);
  EXPECT_EQ(takeMessages(kX), (std::vector<Message>{kMoved, kHomed}));
  EXPECT_EQ(motion_sim::stage(kX).positionMm, 0.0);
}

TEST_F(motionMoves, TargetBeyondTravelStopsAtTheLimit) {
  openEnabled(kX);
  struct Case {
    double from, target, end;
    DWORD limit;
  };
  for (const Case& c :
       {Case{290, 400, 300, ISC_STATUS_FORWARD_LIMIT}, Case{10, -5, 0, ISC_STATUS_REVERSE_LIMIT}}) {
    SCOPED_TRACE(c.target);
    motion_sim::setPosition(kX, c.from);
    moveTo(kX, c.target);
    ASSERT_TRUE(waitForMessages(kX, 1));
    EXPECT_EQ(takeMessages(kX), std::vector<Message>{kStopped});
    EXPECT_EQ(motion_sim::stage(kX).positionMm, c.end);
    EXPECT_TRUE(motion_sim::stage(kX).status & c.limit);
  }
}

TEST_F(motionMoves, StopProfiledEndsWithStopped) {
  openEnabled(kX);
  moveTo(kX, 275);  // 6 s
  platform_clock::sleepFor(1.5);
  ASSERT_EQ(ISC_StopProfiled(kX), 0);
  ASSERT_TRUE(waitForMessages(kX, 1));
  EXPECT_EQ(takeMessages(kX), std::vector<Message>{kStopped});
  const motion_sim::StageState stopped = motion_sim::stage(kX);
  EXPECT_FALSE(stopped.moving);
  EXPECT_GT(stopped.positionMm, 75) << "at 75 mm after 1.5 s, then braking";
  EXPECT_LE(stopped.positionMm, 275);

  ASSERT_EQ(ISC_StopProfiled(kX), 0);
  platform_clock::sleepFor(1.0);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 0) << "a stage at rest has nothing to stop";
}

TEST_F(motionMoves, DisabledStageIgnoresMotion) {
  ASSERT_EQ(ISC_Open(kX), 0);
  moveTo(kX, 35);
  EXPECT_EQ(ISC_Home(kX), 0);
  platform_clock::sleepFor(3.0);
  const motion_sim::StageState state = motion_sim::stage(kX);
  EXPECT_FALSE(state.moving);
  EXPECT_EQ(state.positionMm, motion_sim::kStartPositionMm);
  EXPECT_TRUE(state.queue.empty());

  ASSERT_EQ(ISC_EnableChannel(kX), 0);
  moveTo(kX, 275);  // 6 s
  platform_clock::sleepFor(0.5);
  ASSERT_EQ(ISC_DisableChannel(kX), 0);
  const motion_sim::StageState halted = motion_sim::stage(kX);
  EXPECT_FALSE(halted.moving);
  EXPECT_GT(halted.positionMm, 25);
  EXPECT_LT(halted.positionMm, 275);
  platform_clock::sleepFor(1.0);
  EXPECT_EQ(motion_sim::stage(kX).positionMm, halted.positionMm);
  EXPECT_EQ(ISC_MessageQueueSize(kX), 0);
}

TEST_F(motionMoves, HomingSetsItsBitsAndEndsAtZero) {
  openEnabled(kX);
  motion_sim::setPosition(kX, 50);  // 5.2 s at 10 mm/s
  ASSERT_EQ(ISC_Home(kX), 0);
  platform_clock::sleepFor(0.5);
  const DWORD underWay = motion_sim::stage(kX).status;
  EXPECT_TRUE(underWay & ISC_STATUS_HOMING);
  EXPECT_TRUE(underWay & ISC_STATUS_MOVING_REVERSE);
  EXPECT_FALSE(underWay & ISC_STATUS_HOMED);

  ASSERT_TRUE(waitForMessages(kX, 1));
  EXPECT_EQ(takeMessages(kX), std::vector<Message>{kHomed});
  const motion_sim::StageState homed = motion_sim::stage(kX);
  EXPECT_EQ(homed.positionMm, 0.0);
  EXPECT_TRUE(homed.homed);
  EXPECT_EQ(homed.status, ISC_STATUS_CONNECTED | ISC_STATUS_ENABLED | ISC_STATUS_HOMED |
                              ISC_STATUS_REVERSE_LIMIT);
}

TEST_F(motionMoves, SamplesGoStaleWithoutPollingAndFollowWithIt) {
  openEnabled(kX);
  EXPECT_EQ(ISC_GetStatusBits(kX), ISC_STATUS_CONNECTED) << "sampled at open, before enabling";
  moveTo(kX, 35);
  ASSERT_TRUE(waitForMessages(kX, 1));
  EXPECT_EQ(ISC_GetPosition(kX), du(25));

  ASSERT_TRUE(ISC_StartPolling(kX, 100));
  EXPECT_EQ(ISC_GetPosition(kX), du(35)) << "polling samples at once";
  EXPECT_EQ(ISC_GetStatusBits(kX), ISC_STATUS_CONNECTED | ISC_STATUS_ENABLED);
  moveTo(kX, 25);
  ASSERT_TRUE(waitForMessages(kX, 2));
  platform_clock::sleepFor(0.1);  // one poll interval after the end
  EXPECT_EQ(ISC_GetPosition(kX), du(25));

  ISC_StopPolling(kX);
  moveTo(kX, 35);
  ASSERT_TRUE(waitForMessages(kX, 3));
  platform_clock::sleepFor(0.2);
  EXPECT_EQ(ISC_GetPosition(kX), du(25));
  EXPECT_EQ(motion_sim::stage(kX).positionMm, 35);
}

}  // namespace
