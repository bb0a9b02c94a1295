// The words the panel shows for a stage's status word and for a printed line.
#include <gtest/gtest.h>

#include "axis_state.h"
#include "gui_runtime.h"
#include "message_kind.h"

namespace {

constexpr unsigned int kFwd = 1u << 0, kRev = 1u << 1, kMovFwd = 1u << 4, kMovRev = 1u << 5,
                       kConnected = 1u << 8, kHoming = 1u << 9, kHomed = 1u << 10, kEnabled = 1u << 31;

TEST(AxisStateText, FollowsItsPrecedence) {
  struct Case {
    unsigned int status;
    const char* state;
  };
  const Case cases[] = {
      {0, "Disabled"},
      {kConnected | kHomed | kRev, "Disabled"},  // disabled wins over everything
      {kConnected | kEnabled | kHoming | kMovRev, "Homing"},
      {kConnected | kEnabled | kMovFwd | kHomed, "Moving"},
      {kConnected | kEnabled | kMovRev, "Moving"},
      {kConnected | kEnabled | kMovFwd | kFwd, "Moving"},
      {kConnected | kEnabled | kFwd | kHomed, "At forward limit"},
      {kConnected | kEnabled | kRev, "At reverse limit"},
      {kConnected | kEnabled | kRev | kHomed, "Idle at home"},  // a homed stage at 0 mm
      {kConnected | kEnabled, "Not homed"},
      {kConnected | kEnabled | kHomed, "Idle"},
      {kEnabled | kHomed | (1u << 2) | (1u << 29), "Idle"},  // unused bits change nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.status);
    EXPECT_STREQ(AxisStateText(c.status), c.state);
  }
}

TEST(MessageKind, MarksTimeoutsAndRefusalsAndFailures) {
  struct Case {
    const char* line;
    int kind;
  };
  const Case cases[] = {
      {"Device 0 (serial 45000001) Connected... ", LOG_PLAIN},
      {"Long Travel Stage err=0", LOG_PLAIN},
      {"Long Travel Stage err=2", LOG_FAULT},
      {"Long Travel Stage err=ffffffff", LOG_FAULT},
      {"Error connecting device 1 (45000002)", LOG_FAULT},
      {"Axis 0: target 400 mm refused, outside the stage's device-unit range", LOG_FAULT},
      {"Axis 2: homing parameters could not be read (error 3), homing not started", LOG_FAULT},
      {"Scan record: writing point 4 to /x.csv failed (disk full); the scan ends after this point", LOG_FAULT},
      {"Scan aborted: 3 of 10 points done, 0 points timed out", LOG_FAULT},
      {"LTS timeout", LOG_NOTICE},
      {"Timeout in axis [1] pos: 3.000000 messageType 2, messageId 1", LOG_NOTICE},
      {"Scan finished: 10 of 10 points done, 2 points timed out (first at ix 1, iy 0, iz 0, axis X)", LOG_NOTICE},
      {"Scan finished: 10 of 10 points done, 10 points timed out", LOG_NOTICE},
      {"Scan finished: 10 of 10 points done, 1 point timed out", LOG_NOTICE},
      {"Scan finished: 10 of 10 points done, 0 points timed out", LOG_PLAIN},
      {"RST Not yet implemented", LOG_NOTICE},
      {"Start Homing...", LOG_PLAIN},
      {"Device Disconnected...", LOG_PLAIN},
      {"", LOG_PLAIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(MessageKind(c.line), c.kind);
  }
  EXPECT_EQ(MessageKind(nullptr), LOG_PLAIN);
}

}  // namespace
