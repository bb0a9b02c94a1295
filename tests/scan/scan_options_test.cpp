// The scan's two options through the real panel on the simulated rig: serpentine order, and
// the return to where the stages stood, both off by default.
#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>

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
#include "runtime_testing.h"
#include "scan.h"

namespace {

using motion_sim::kSerials;

class ScanOptionsTest : public SimulatedRigTest {
 protected:
  ScanOptionsTest() : SimulatedRigTest(200.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    ASSERT_TRUE(folder_.isValid());
    ASSERT_EQ(SetSetting(kRecordFolderKey, folder_.path().toUtf8().constData()), 0);
  }
  QTemporaryDir folder_;
};

// The record's rows: number, ix, iy, iz and the three targets of each.
std::vector<std::vector<double>> recordRows(const std::string& path) {
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  std::vector<std::vector<double>> rows;
  bool columns = false;
  for (const QByteArray& line : file.readAll().split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    if (!columns) {
      columns = true;
      continue;
    }
    const QList<QByteArray> fields = line.split(',');
    std::vector<double> row;
    for (int i = 0; i < 7 && i < fields.size(); i++) row.push_back(fields[i].toDouble());
    rows.push_back(row);
  }
  return rows;
}

TEST_F(ScanOptionsTest, SerpentineRunsOddRowsBackwardsAndRecordsVisitOrderWithTrueIndices) {
  const Grid grid{{3, 2, 2}, {1, 1, 1}};
  struct Case {
    const char* what;
    int serpentine;
    std::vector<int> ix;  // x index of each point, in visit order
  };
  // Rows count over both planes: the first row of the second plane is the third row.
  const Case cases[] = {
      {"raster", 0, {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2}},
      {"serpentine", 1, {0, 1, 2, 2, 1, 0, 0, 1, 2, 2, 1, 0}},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EXPECT_EQ(op.readInt(PANEL_SERPENTINE), 0) << "off by default";
    EnableAll(op);
    TypeGrid(op, grid);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      op.type(PANEL_SERPENTINE, c.serpentine);
      motion_sim::clearCallLog();
      RunScan(op);
      std::vector<Move> moves;
      std::vector<std::vector<double>> rows;
      for (std::size_t i = 0; i < c.ix.size(); i++) {
        const int index[3] = {c.ix[i], static_cast<int>(i / 3 % 2), static_cast<int>(i / 6)};
        const double target[3] = {10.0 + index[0], 20.0 + 2.0 * index[1], 5.0 + 0.5 * index[2]};
        if (i % 6 == 0) moves.push_back({'Z', target[2]});
        if (i % 3 == 0) moves.push_back({'Y', target[1]});
        moves.push_back({'X', target[0]});
        rows.push_back({static_cast<double>(i + 1), static_cast<double>(index[0]),
                        static_cast<double>(index[1]), static_cast<double>(index[2]), target[0],
                        target[1], target[2]});
      }
      EXPECT_EQ(AbsoluteMoves(), moves);
      EXPECT_EQ(recordRows(LabelText(op, kRecordLabel)), rows);
    }
  });
  EXPECT_EQ(result, 0);
}

// The call times of the absolute moves, from `first` on.
std::vector<double> moveTimes(std::size_t first) {
  const std::vector<double> times = motion_sim::callTimes("ISC_MoveAbsolute");
  return std::vector<double>(times.begin() + static_cast<long>(first), times.end());
}

enum Ending { kFinished, kStopped, kAborted };
struct ReturnCase {
  const char* what;
  int returnToStart;
  Ending ending;
};

class ReturnToStartTest : public ScanOptionsTest, public ::testing::WithParamInterface<ReturnCase> {};

TEST_P(ReturnToStartTest, MovesZThenYThenXBackWithWaitedMovesUnlessTheScanIsAborted) {
  constexpr double kOrigin = motion_sim::kStartPositionMm;
  const ReturnCase& c = GetParam();
  const std::vector<Move> full = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0},
                                  {'Y', 22.0}, {'X', 10.0}, {'X', 11.0}};
  const std::vector<Move> twoPoints = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}, {'X', 11.0}};
  const std::vector<Move>& scanMoves = c.ending == kFinished ? full : twoPoints;
  // Stopping and aborting need time to press: each x move then waits for the watchdog.
  motion_sim::neverComplete(kSerials[0], c.ending != kFinished);
  if (c.ending != kFinished) platform_clock::setSpeed(20.0);
  const int result = RunQuarlex([&](Operator& op) {
    EXPECT_EQ(op.readInt(PANEL_RETURN_TO_START), 0) << "off by default";
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    op.type(PANEL_RETURN_TO_START, c.returnToStart);
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    if (c.ending != kFinished) {
      ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_IX) == 1 && op.readInt(PANEL_MOVELED) == 1; }));
      if (c.ending == kStopped) op.click(PANEL_SCAN_STOP);
      if (c.ending == kAborted) ScanAbort();
    }
    ASSERT_TRUE(WaitForScanEnd(op));
    std::vector<Move> expected = scanMoves;
    const bool returns = c.returnToStart != 0 && c.ending != kAborted;
    if (returns) expected.insert(expected.end(), {{'Z', kOrigin}, {'Y', kOrigin}, {'X', kOrigin}});
    EXPECT_EQ(AbsoluteMoves(), expected);
    if (!returns) return;
    // Each return move waits for the one before: Z and Y travel from the last point back.
    const std::vector<double> t = moveTimes(scanMoves.size());
    ASSERT_EQ(t.size(), 3u);
    const double zTravel = MoveSeconds(5.0, kOrigin);
    const double yTravel = MoveSeconds(c.ending == kFinished ? 22.0 : 20.0, kOrigin);
    EXPECT_GE(t[1] - t[0], zTravel);
    EXPECT_LT(t[1] - t[0], zTravel + 10.0);
    EXPECT_GE(t[2] - t[1], yTravel);
    EXPECT_LT(t[2] - t[1], yTravel + 10.0);
    for (int axis = 0; axis < 3; axis++) {
      EXPECT_TRUE(op.waitFor([&] { return motion_sim::stage(kSerials[axis]).positionMm == kOrigin; }))
          << "axis " << axis;
    }
  });
  EXPECT_EQ(result, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ReturnToStartTest,
    ::testing::Values(ReturnCase{"OffStaysAtTheLastPoint", 0, kFinished},
                      ReturnCase{"FinishedReturns", 1, kFinished},
                      ReturnCase{"StoppedByTheOperatorReturns", 1, kStopped},
                      ReturnCase{"AbortedDoesNotReturn", 1, kAborted}),
    [](const ::testing::TestParamInfo<ReturnCase>& info) { return std::string(info.param.what); });

}  // namespace
