// The scan's time: the model of a move, the estimate of a whole scan, and what the scan block
// shows before and during a scan, checked against scans on the simulated rig.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_model.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "record_file.h"
#include "rig.h"
#include "scan_estimate.h"
#include "scan_time.h"
#include "sim/profile.h"
#include "visit_order.h"

namespace {

TEST(MoveModel, MatchesTheSimulatedStagesProfile) {
  struct Case {
    double distance;
    double seconds;  // worked out by hand: triangle below 50 mm, trapezoid above
  };
  const Case cases[] = {{0.0, 0.0},    {0.5, 0.2},   {1.0, 2.0 * std::sqrt(0.02)},
                        {50.0, 2.0},   {100.0, 3.0}, {-30.0, 2.0 * std::sqrt(0.6)},
                        {275.0, 6.5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.distance);
    EXPECT_NEAR(MoveSeconds(25.0, 25.0 + c.distance), c.seconds, 1e-12);
    const double simulated = motion_sim::detail::Profile::move(25.0, 25.0 + c.distance,
                                                               motion_sim::kMaxVelocity,
                                                               motion_sim::kAcceleration)
                                 .duration();
    EXPECT_NEAR(MoveSeconds(25.0, 25.0 + c.distance), simulated, 1e-12);
  }
}

// The scan walked point by point in visit order: each axis's move from its last target, the
// dwell, then the way back.
double walkedSeconds(const ScanPlan& plan) {
  const ScanGrid& g = plan.grid;
  double at[3] = {plan.origin[0], plan.origin[1], plan.origin[2]};
  double seconds = 0.0;
  auto go = [&](int axis, int index) {
    const double to = g.start[axis] + index * g.step[axis];
    seconds += WaitedMoveSeconds(at[axis], to);
    at[axis] = to;
  };
  for (int iz = 0; iz < g.count[2]; iz++) {
    go(2, iz);
    for (int iy = 0; iy < g.count[1]; iy++) {
      go(1, iy);
      for (int step = 0; step < g.count[0]; step++) {
        go(0, VisitedX(g, iz * g.count[1] + iy, step, plan.serpentine));
        seconds += kPointDwell;
      }
    }
  }
  if (plan.returnToStart) {
    for (int k = 0; k < 3; k++) seconds += WaitedMoveSeconds(at[k], plan.origin[k]);
  }
  return seconds;
}

TEST(ScanEstimate, IsTheSumOfTheMovesAndDwellsOfEveryVisitedPoint) {
  const ScanPlan plans[] = {
      {{{10, 10, 1}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}, {1, 1, 1}}, false, false, {25.0, 25.0, 25.0}},
      {{{10, 10, 1}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}, {1, 1, 1}}, true, false, {25.0, 25.0, 25.0}},
      {{{4, 3, 3}, {10.0, 5.0, 2.0}, {-0.1, 2.5, 0.5}, {1, 1, 1}}, true, true, {0.0, 100.0, 7.0}},
      {{{5, 2, 3}, {10.0, 5.0, 2.0}, {3.0, 2.5, 0.5}, {1, 1, 1}}, true, true, {0.0, 100.0, 7.0}},
      {{{7, 4, 2}, {1.0, 2.0, 3.0}, {0.3, 0.0, 4.0}, {1, 1, 1}}, false, true, {1.0, 2.0, 3.0}},
      {{{1, 1, 1}, {1.0, 2.0, 3.0}, {1.0, 1.0, 1.0}, {0, 0, 0}}, false, true, {30.0, 2.0, 3.0}},
  };
  for (const ScanPlan& plan : plans) {
    SCOPED_TRACE(testing::Message() << plan.grid.count[0] << "x" << plan.grid.count[1] << "x"
                                    << plan.grid.count[2] << " serpentine " << plan.serpentine
                                    << " return " << plan.returnToStart);
    EXPECT_NEAR(PlanSeconds(plan), walkedSeconds(plan), 1e-9);
  }
  ScanPlan none = plans[0];
  none.grid.count[1] = 0;
  EXPECT_EQ(PlanSeconds(none), 0.0);
  // Serpentine spares every row but the first its way back to x0.
  EXPECT_NEAR(PlanSeconds(plans[0]) - PlanSeconds(plans[1]), 9 * WaitedMoveSeconds(29.0, 20.0), 1e-9);
}

TEST(ScanTimeText, ClockTextAndRemainingSeconds) {
  const std::pair<double, const char*> clocks[] = {
      {0.0, "0:00"}, {-3.0, "0:00"}, {59.4, "0:59"}, {59.6, "1:00"}, {754.0, "12:34"},
      {3600.0, "1:00:00"}, {3725.0, "1:02:05"}, {36000.0, "10:00:00"}};
  for (const auto& [seconds, text] : clocks) EXPECT_EQ(ClockText(seconds), text) << seconds;
  struct Case {
    double modelTotal, modelDone, elapsed;
    long long done, planned;
    double remaining;
  };
  const Case cases[] = {
      {100.0, 10.0, 10.0, 10, 100, 90.0},   // on the model
      {100.0, 10.0, 12.0, 10, 100, 108.0},  // 0.2 s more per point, for 90 points
      {100.0, 10.0, 9.0, 10, 100, 81.0},    // faster than the model
      {100.0, 0.0, 0.0, 0, 100, 100.0},     // nothing done yet: the model alone
      {100.0, 100.0, 130.0, 100, 100, 0.0}, // all done
      {10.0, 9.0, 0.0, 3, 10, 0.0},         // never negative
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(RemainingSeconds(c.modelTotal, c.modelDone, c.elapsed, c.done, c.planned),
                c.remaining, 1e-9);
  }
}

// Seconds in a clock text such as "1:02:05" or "0:41".
double clockSeconds(const std::string& text) {
  double seconds = 0.0;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(':', from)) != std::string::npos; from = at + 1) {
    seconds = 60.0 * (seconds + std::stod(text.substr(from, at - from)));
  }
  return seconds + std::stod(text.substr(from));
}

// Seconds since the start of each row of the record at `path`, in order.
std::vector<double> recordSeconds(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  std::vector<double> seconds;
  bool columns = false;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (columns) seconds.push_back(line.split(',').last().toDouble());
    columns = true;
  }
  return seconds;
}

// The clock runs five times real time: a 10 x 10 scan takes some 40 s of clock time, 8 s of real
// time, and the program's own costs, magnified five times, still weigh little beside the motion.
class ScanTimeTest : public SimulatedRigTest {
 protected:
  ScanTimeTest() : SimulatedRigTest(5.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    ASSERT_TRUE(folder_.isValid());
    ASSERT_EQ(SetSetting(kRecordFolderKey, folder_.path().toUtf8().constData()), 0);
  }
  QTemporaryDir folder_;
};

// The scan's duration by its record: its last point's time plus that point's dwell.
double recordedDuration(Operator& op) {
  const std::vector<double> seconds = recordSeconds(LabelText(op, kRecordLabel));
  return seconds.empty() ? 0.0 : seconds.back() + kPointDwell;
}

TEST_F(ScanTimeTest, TheEstimateShownWhileTypingIsWithinATenthOfTheScansDuration) {
  struct Case {
    const char* what;
    Grid grid;
    int serpentine;
  };
  const Case cases[] = {
      {"10 x 10, 1 mm steps", {{10, 10, 1}, {1, 1, 0}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}}, 0},
      {"the same in serpentine order", {{10, 10, 1}, {1, 1, 0}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}}, 1},
      {"8 x 3 x 2, 0.1 mm steps", {{8, 3, 2}, {1, 1, 1}, {20.0, 20.0, 25.0}, {0.1, 0.1, 0.1}}, 0},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      TypeGrid(op, c.grid);
      op.type(PANEL_SERPENTINE, c.serpentine);
      // A few refresh ticks: the position display and the estimate then follow what was typed.
      platform_clock::sleepFor(1.0);
      const std::string points = std::to_string(c.grid.n[0] * c.grid.n[1] * c.grid.n[2]) + " points, about ";
      std::string shown;
      ASSERT_TRUE(op.waitFor([&] {
        shown = LabelText(op, kEstimateLabel);
        return shown.rfind(points, 0) == 0;
      })) << shown;
      const double estimate = clockSeconds(shown.substr(points.size()));
      RunScan(op);
      const double duration = recordedDuration(op);
      // The label rounds to the second.
      EXPECT_NEAR(estimate, duration, 0.1 * duration + 0.5) << shown;
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanTimeTest, AfterATenthOfA10x10ScanTheRemainingTimeIsWithinATenthOfTheTruth) {
  // Slower than the other cases: a stall of the loaded machine weighs speed times more in clock
  // time, and the truth here is the scan's own per-point time, stalls included.
  platform_clock::setSpeed(2.5);
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{10, 10, 1}, {1, 1, 0}, {20.0, 20.0, 25.0}, {1.0, 1.0, 0.0}});
    RecordScanLed();
    op.click(PANEL_SCAN_START);
    // The first text shown after the tenth point; it names the point it was written after.
    long long done = 0;
    double remaining = 0.0;
    std::string shown;
    ASSERT_TRUE(op.waitFor([&] {
      shown = LabelText(op, kScanTimeLabel);
      char text[16] = {};
      return std::sscanf(shown.c_str(), "%lld / 100 points, elapsed %*s remaining %15s", &done, text) == 2 &&
             done >= 10 && (remaining = clockSeconds(text), true);
    })) << shown;
    ASSERT_TRUE(WaitForScanEnd(op));
    // Later texts are closer to the end; past a fifth of the scan the check would say little.
    ASSERT_LE(done, 20) << shown;
    const std::vector<double> seconds = recordSeconds(LabelText(op, kRecordLabel));
    ASSERT_EQ(seconds.size(), 100u);
    const double truth = seconds.back() + kPointDwell - seconds[static_cast<std::size_t>(done - 1)];
    EXPECT_NEAR(remaining, truth, 0.1 * truth) << shown;
    EXPECT_EQ(LabelText(op, kScanTimeLabel).rfind("100 / 100 points in ", 0), 0u);
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
