// Every axis button through the real panel: the operation it sends to the stage, and an
// operator's session end to end on the simulated rig.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "scan.h"

namespace {


class DispatchTest : public SimulatedRigTest {
 protected:
  DispatchTest() : SimulatedRigTest(1000.0) {}
};

TEST_F(DispatchTest, EachAxisButtonSendsItsOperation) {
  struct Row {
    int control;
    std::vector<Command> sent;
  };
  auto move = [](const char* set, const char* start, int axis, long long units) {
    return std::vector<Command>{{set, axis, {units}}, {start, axis, {}}};
  };
  auto relative = [&](int axis, long long units) {
    return move("ISC_SetMoveRelativeDistance", "ISC_MoveRelativeDistance", axis, units);
  };
  auto absolute = [&](int axis, long long units) {
    return move("ISC_SetMoveAbsolutePosition", "ISC_MoveAbsolute", axis, units);
  };
  auto home = [](int axis) {
    return std::vector<Command>{{"ISC_SetHomingParamsBlock", axis, {MOT_Reverse}},
                                {"ISC_ClearMessageQueue", axis, {}},
                                {"ISC_Home", axis, {}}};
  };
  const Row rows[] = {
      {PANEL_ENABLE_X, {{"ISC_EnableChannel", 0, {}}}},
      {PANEL_ENABLE_Y, {{"ISC_EnableChannel", 1, {}}}},
      {PANEL_ENABLE_Z, {{"ISC_EnableChannel", 2, {}}}},
      {PANEL_DISABLE_X, {{"ISC_DisableChannel", 0, {}}}},
      {PANEL_DISABLE_Y, {{"ISC_DisableChannel", 1, {}}}},
      {PANEL_DISABLE_Z, {{"ISC_DisableChannel", 2, {}}}},
      {PANEL_STOP_X, {{"ISC_StopProfiled", 0, {}}}},
      {PANEL_STOP_Y, {{"ISC_StopProfiled", 1, {}}}},
      {PANEL_STOP_Z, {{"ISC_StopProfiled", 2, {}}}},
      {PANEL_STOP_ALL, {{"ISC_StopProfiled", 0, {}}, {"ISC_StopProfiled", 1, {}}, {"ISC_StopProfiled", 2, {}}}},
      {PANEL_HOME_X, home(0)},
      {PANEL_HOME_Y, home(1)},
      {PANEL_HOME_Z, home(2)},
      {PANEL_JOG_X_PLUS, relative(0, 409600)},
      {PANEL_JOG_X_MINUS, relative(0, -409600)},
      {PANEL_JOG_Y_PLUS, relative(1, 409600)},
      {PANEL_JOG_Y_MINUS, relative(1, -409600)},
      {PANEL_JOG_Z_PLUS, relative(2, 409600)},
      {PANEL_JOG_Z_MINUS, relative(2, -409600)},
      {PANEL_GOTO_X, absolute(0, 5120000)},    // 12.5 mm
      {PANEL_GOTO_Y, absolute(1, 1331200)},    // 3.25 mm
      {PANEL_GOTO_Z, absolute(2, 2048000)},    // 5.0 mm
  };
  const int result = RunQuarlex([&](Operator& op) {
    op.type(PANEL_TARGET_X, 12.5);
    op.type(PANEL_TARGET_Y, 3.25);
    op.type(PANEL_TARGET_Z, 5.0);
    for (const Row& row : rows) {
      SCOPED_TRACE(row.control);
      motion_sim::clearCallLog();
      Press(op, row.control);
      EXPECT_EQ(Commands(), row.sent);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(DispatchTest, GoToAllMovesXThenYThenZWithoutWaiting) {
  const int result = RunQuarlex([](Operator& op) {
    op.type(PANEL_TARGET_X, 10.0);
    op.type(PANEL_TARGET_Y, 20.5);
    op.type(PANEL_TARGET_Z, 5.0);
    motion_sim::clearCallLog();
    Press(op, PANEL_GOTO_ALL);
    const std::vector<Command> expected = {
        {"ISC_SetMoveAbsolutePosition", 0, {4096000}}, {"ISC_MoveAbsolute", 0, {}},
        {"ISC_SetMoveAbsolutePosition", 1, {8396800}}, {"ISC_MoveAbsolute", 1, {}},
        {"ISC_SetMoveAbsolutePosition", 2, {2048000}}, {"ISC_MoveAbsolute", 2, {}}};
    EXPECT_EQ(Commands(), expected);
    EXPECT_TRUE(motion_sim::calls("ISC_GetNextMessage").empty());
  });
  EXPECT_EQ(result, 0);
}

TEST_F(DispatchTest, RepeatedJogsEachSendAMoveAtOnce) {
  const int result = RunQuarlex([](Operator& op) {
    motion_sim::clearCallLog();
    op.click(PANEL_JOG_Y_PLUS);
    Press(op, PANEL_JOG_Y_PLUS);
    const std::vector<Command> expected = {
        {"ISC_SetMoveRelativeDistance", 1, {409600}}, {"ISC_MoveRelativeDistance", 1, {}},
        {"ISC_SetMoveRelativeDistance", 1, {409600}}, {"ISC_MoveRelativeDistance", 1, {}}};
    EXPECT_EQ(Commands(), expected);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(DispatchTest, RstPrintsItsLineAndTouchesNoStage) {
  const int result = RunQuarlex([](Operator& op) {
    const std::size_t before = op.lines().size();
    motion_sim::clearCallLog();
    for (int control : {PANEL_RST_1, PANEL_RST_2, PANEL_RST_3}) Press(op, control);
    EXPECT_TRUE(Commands().empty());
    const std::vector<std::string> lines = op.lines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()),
              std::vector<std::string>(3, "RST Not yet implemented"));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(DispatchTest, AnOperatorSessionOnTheSimulatedRig) {
  platform_clock::setSpeed(1.0);  // real time: the bounds below are then real seconds on a loaded machine
  const int result = RunQuarlex([](Operator& op) {
    // Readouts follow the stage within a refresh interval (0.2 s) and a poll (50 ms) of
    // clock time; the bounds below leave room for a slow machine.
    auto follows = [&op](const std::function<bool()>& shown, double clockSeconds) {
      const double start = platform_clock::now();
      const bool ok = op.waitFor(shown);
      EXPECT_LT(platform_clock::now() - start, clockSeconds);
      return ok;
    };
    auto led = [&op](int id) { return op.readInt(id) == 1; };
    auto at = [&op](double mm) { return std::abs(op.readDouble(PANEL_POS_X) - mm) < 1e-6; };

    EXPECT_TRUE(follows([&] { return led(PANEL_LED_X_8) && at(25.0); }, 1.0));  // connected
    op.click(PANEL_ENABLE_X);
    EXPECT_TRUE(follows([&] { return led(PANEL_LED_X_13); }, 1.0));
    unsigned int status = static_cast<unsigned int>(op.readInt(PANEL_STATUS_X));
    EXPECT_NE(status & 0x80000000u, 0u);

    // Homing runs 25 mm at 10 mm/s to the reverse limit.
    op.click(PANEL_HOME_X);
    EXPECT_TRUE(follows([&] { return led(PANEL_LED_X_9); }, 1.0));  // homing
    EXPECT_TRUE(follows([&] { return led(PANEL_LED_X_10) && at(0.0); }, 4.5));  // homed
    EXPECT_EQ(op.readInt(PANEL_LED_X_1), 1);  // at the reverse limit

    op.click(PANEL_JOG_X_PLUS);
    EXPECT_TRUE(follows([&] { return at(1.0); }, 1.5));

    // 11.5 mm take about 1.2 s, long enough to see the stage moving.
    op.type(PANEL_TARGET_X, 12.5);
    op.click(PANEL_GOTO_X);
    EXPECT_TRUE(follows([&] { return led(PANEL_LED_X_4); }, 1.0));  // moving forward
    EXPECT_TRUE(follows([&] { return at(12.5) && !led(PANEL_LED_X_4); }, 3.0));
    EXPECT_EQ(op.readInt(PANEL_LED_X_10), 1);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
