// The C interface called from two threads at once, as the program's main thread and its
// worker do. Instant moves keep it fast; the counts are exact whatever the interleaving.
#include <thread>

#include "motion_test_support.h"

namespace {

using namespace motion_test;

class motionConcurrency : public SimulatorTest {};

// A callback that calls back into the library, which must not deadlock.
void reenteringCallback() {
  countCallback();
  EXPECT_GE(ISC_MessageQueueSize(kX), 0);
}

TEST_F(motionConcurrency, TwoThreadsMoveAndDrainOneStage) {
  constexpr int kMoves = 2000;
  motion_sim::setInstantMoves(true);
  openEnabled(kX);
  openEnabled(kY);
  ASSERT_TRUE(ISC_StartPolling(kX, 1));
  ISC_RegisterMessageCallback(kX, reenteringCallback);

  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kMoves; ++i) {
      ISC_SetMoveAbsolutePosition(kX, du(i % 300));
      ISC_MoveAbsolute(kX);
      ISC_SetMoveRelativeDistance(kY, i % 2 ? du(1) : du(-1));
      ISC_MoveRelativeDistance(kY);
    }
    done = true;
  });

  int moved = 0;
  int other = 0;
  motion_sim::Message m{};
  for (;;) {
    const bool finished = done;  // read before draining: nothing is queued after it
    while (ISC_GetNextMessage(kX, &m.type, &m.id, &m.data)) {
      (m.id == MOT_Moved ? moved : other)++;
    }
    ISC_GetPosition(kX);
    ISC_GetStatusBits(kY);
    motion_sim::stage(kY);
    if (finished) break;
  }
  worker.join();

  EXPECT_EQ(moved, kMoves);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(callbackCount, kMoves);
  EXPECT_EQ(motion_sim::calls("ISC_MoveAbsolute").size(), static_cast<std::size_t>(kMoves));
  EXPECT_EQ(takeMessages(kY).size(), static_cast<std::size_t>(kMoves));
  EXPECT_EQ(motion_sim::stage(kY).positionMm, motion_sim::kStartPositionMm);
  EXPECT_EQ(motion_sim::stage(kX).positionMm, (kMoves - 1) % 300);
}

}  // namespace
