#include "motion_test_support.h"

#include "platform_clock.h"

namespace motion_test {

bool waitForMessages(const char* serial, int count, double timeout) {
  const double until = platform_clock::now() + timeout;
  while (ISC_MessageQueueSize(serial) < count) {
    if (platform_clock::now() > until) return false;
    platform_clock::sleepFor(0.02);
  }
  return true;
}

std::vector<motion_sim::Message> takeMessages(const char* serial) {
  std::vector<motion_sim::Message> messages;
  motion_sim::Message m{};
  while (ISC_GetNextMessage(serial, &m.type, &m.id, &m.data)) messages.push_back(m);
  return messages;
}

void SimulatorTest::SetUp() {
  motion_sim::reset();
  callbackCount = 0;
  platform_clock::setSpeed(kSpeed);
}

void SimulatorTest::TearDown() { platform_clock::setSpeed(1.0); }

void SimulatorTest::openEnabled(const char* serial) {
  ASSERT_EQ(ISC_Open(serial), 0);
  ASSERT_EQ(ISC_EnableChannel(serial), 0);
}

void SimulatorTest::moveTo(const char* serial, double mm) {
  ASSERT_EQ(ISC_SetMoveAbsolutePosition(serial, du(mm)), 0);
  ASSERT_EQ(ISC_MoveAbsolute(serial), 0);
}

}  // namespace motion_test
