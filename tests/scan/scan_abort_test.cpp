// Aborting a scan: it ends at once, with no further move and every stage stopped, and the
// abort does not reach the next scan. Abort and the per-axis STOP buttons abort from the
// panel; every button a running scan ignores looks dimmed meanwhile.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "rig.h"
#include "runtime_testing.h"
#include "scan.h"

namespace {

using motion_sim::kSerials;

class ScanAbortTest : public SimulatedRigTest {
 protected:
  ScanAbortTest() : SimulatedRigTest(200.0) {}
};

bool xMoveSent() {
  for (const Command& c : Commands()) {
    if (c.function == "ISC_MoveAbsolute" && c.axis == 0) return true;
  }
  return false;
}

TEST_F(ScanAbortTest, AnAbortEndsTheScanWithEveryStageStoppedAndNoFurtherMove) {
  // X never reports its move's end: only the abort can end that wait before the watchdog.
  motion_sim::neverComplete(kSerials[0], true);
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 2}, {1, 1, 1}});
    platform_clock::setSpeed(1.0);  // the watchdog's 10 s are real seconds
    runtime_testing::stdioClear();
    runtime_testing::recordWrites(p1_h, PANEL_PROGRESS);
    RecordScanLed();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor(xMoveSent));
    const double abortedAt = platform_clock::now();
    ScanAbort();
    ASSERT_TRUE(WaitForScanEnd(op));
    // Within a few polls of the wait, far from the watchdog's 10 s.
    EXPECT_LT(platform_clock::now() - abortedAt, 5.0);
    const std::vector<Move> moves = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}};
    EXPECT_EQ(AbsoluteMoves(), moves);
    // After the last move only stops, and each stage got one.
    const std::vector<Command> commands = Commands();
    std::size_t last = 0;
    for (std::size_t i = 0; i < commands.size(); i++) {
      if (commands[i].function == "ISC_MoveAbsolute") last = i;
    }
    std::set<int> stopped;
    for (std::size_t i = last + 1; i < commands.size(); i++) {
      EXPECT_EQ(commands[i].function, "ISC_StopProfiled");
      stopped.insert(commands[i].axis);
    }
    EXPECT_EQ(stopped, (std::set<int>{0, 1, 2}));
    EXPECT_TRUE(runtime_testing::writes(p1_h, PANEL_PROGRESS).empty()) << "no point was completed";
    // No time-out line: only the outcome, told as an abort.
    EXPECT_EQ(PrintedLines(),
              std::vector<std::string>{"Scan aborted: 0 of 12 points done, 0 points timed out"});
    EXPECT_EQ(op.readInt(PANEL_SCANLED), 0);

    // The next scan runs in full.
    platform_clock::setSpeed(200.0);
    motion_sim::neverComplete(kSerials[0], false);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    motion_sim::clearCallLog();
    RunScan(op);
    EXPECT_EQ(AbsoluteMoves().size(), 7u);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
  });
  EXPECT_EQ(result, 0);
}

// The last line of the record file the panel names.
std::string lastRecordLine(Operator& op) {
  std::ifstream file(LabelText(op, kRecordLabel));
  std::string line;
  std::string last;
  while (std::getline(file, line)) last = line;
  return last;
}

TEST_F(ScanAbortTest, AbortOrAnyStopStopsEveryStageWithin50msAndEndsTheScanAtOnce) {
  const int controls[] = {PANEL_SCAN_ABORT, PANEL_STOP_X, PANEL_STOP_Y, PANEL_STOP_Z, PANEL_STOP_ALL};
  // X never reports its move's end: only an abort can end that wait before the watchdog.
  motion_sim::neverComplete(kSerials[0], true);
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 1}, {1, 1, 1}});
    for (const int control : controls) {
      SCOPED_TRACE(control);
      platform_clock::setSpeed(20.0);
      RecordScanLed();
      motion_sim::clearCallLog();
      runtime_testing::stdioClear();
      op.click(PANEL_SCAN_START);
      ASSERT_TRUE(op.waitFor([&] { return xMoveSent() && op.readInt(PANEL_MOVELED) == 1; }));
      // A fiftieth of real time: 50 ms of clock time are 2.5 s of real time, however busy the
      // machine is.
      platform_clock::setSpeed(0.02);
      const double clickedAt = platform_clock::now();
      op.click(control);
      ASSERT_TRUE(WaitForScanEnd(op));
      const double endedAt = platform_clock::now();
      platform_clock::setSpeed(20.0);

      // Every stage got its stop within 50 ms of the click. (The worker may stop the axis it
      // was moving once more, in between.)
      const std::vector<motion_sim::Call> stops = motion_sim::calls("ISC_StopProfiled");
      const std::vector<double> stopTimes = motion_sim::callTimes("ISC_StopProfiled");
      ASSERT_EQ(stops.size(), stopTimes.size());
      std::set<std::string> stoppedInTime;
      for (std::size_t i = 0; i < stops.size(); i++) {
        EXPECT_GE(stopTimes[i], clickedAt);
        if (stopTimes[i] <= clickedAt + 0.05) stoppedInTime.insert(stops[i].serial);
      }
      EXPECT_EQ(stoppedInTime, std::set<std::string>(kSerials, kSerials + 3));
      // No move after the one under way, and the wait ended far from the 10 s watchdog.
      EXPECT_EQ(AbsoluteMoves(), (std::vector<Move>{{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}}));
      EXPECT_LT(endedAt - clickedAt, 1.0);
      const std::string outcome = "Scan aborted: 0 of 6 points done, 0 points timed out";
      EXPECT_EQ(PrintedLines(), std::vector<std::string>{outcome});  // no time-out line
      EXPECT_TRUE(op.waitFor([&] { return LabelText(op, kOutcomeLabel) == outcome; }, 10.0));
      EXPECT_EQ(lastRecordLine(op), "# " + outcome);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanAbortTest, WithNoScanAbortStopsEveryStageAndTheNextScanRunsInFull) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 2, 1}, {1, 1, 1}});
    PauseRefresh(op);
    motion_sim::clearCallLog();
    Press(op, PANEL_SCAN_ABORT);
    EXPECT_EQ(Commands(), (std::vector<Command>{{"ISC_StopProfiled", 0, {}},
                                                {"ISC_StopProfiled", 1, {}},
                                                {"ISC_StopProfiled", 2, {}}}));
    motion_sim::clearCallLog();
    RunScan(op);
    EXPECT_EQ(AbsoluteMoves().size(), 7u);
    EXPECT_DOUBLE_EQ(op.readDouble(PANEL_PROGRESS), 100.0);
  });
  EXPECT_EQ(result, 0);
}

// The requests a scan's run state is left with, whatever order they come in: an abort
// always stands; the worker's own reason only fills an empty request.
TEST(ScanRequests, AnAbortStandsWhateverIsAskedAfterIt) {
  const struct {
    const char* what;
    std::vector<void (*)()> asks;
    ScanRequest pending;
  } cases[] = {
      {"stop", {ScanRequestStop}, SCAN_STOP},
      {"abort", {ScanRequestAbort}, SCAN_ABORT},
      {"abort, then stop", {ScanRequestAbort, ScanRequestStop}, SCAN_ABORT},
      {"stop, then abort", {ScanRequestStop, ScanRequestAbort}, SCAN_ABORT},
      {"abort, then a failed record", {ScanRequestAbort, [] { ScanRequestEnd(SCAN_RECORD_FAILED); }},
       SCAN_ABORT},
      {"failed record, then stop", {[] { ScanRequestEnd(SCAN_RECORD_FAILED); }, ScanRequestStop}, SCAN_STOP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScanClearRequest();
    for (void (*ask)() : c.asks) ask();
    EXPECT_EQ(ScanPendingRequest(), c.pending);
  }
  ScanClearRequest();
}

// Command buttons of the panel, with whether each looks dimmed now (read on the GUI thread).
std::vector<std::pair<int, bool>> buttonsDimmed(Operator& op) {
  std::vector<int> ids(1000);
  ids.resize(static_cast<std::size_t>(GetPanelControlIds(p1_h, ids.data(), int(ids.size()))));
  std::vector<std::pair<int, bool>> result;
  op.onGuiThread([&] {
    for (const int id : ids) {
      int kind = 0;
      GetCtrlAttribute(p1_h, id, ATTR_CTRL_KIND, &kind);
      if (kind == CTRL_KIND_COMMAND_BUTTON) {
        result.emplace_back(id, !runtime_testing::controlWidget(p1_h, id)->isEnabled());
      }
    }
  });
  return result;
}

// Waits until every command button looks dimmed exactly when `dimmed(id)` says; the buttons
// as last seen go to `seen`.
bool waitForDimming(Operator& op, const std::function<bool(int)>& dimmed,
                    std::vector<std::pair<int, bool>>& seen) {
  return op.waitFor([&] {
    seen = buttonsDimmed(op);
    for (const auto& [id, looksDimmed] : seen) {
      if (looksDimmed != dimmed(id)) return false;
    }
    return true;
  }, 10.0);
}

// Starts a scan whose x-move never ends, so that it runs until aborted, and waits until that
// move is under way.
void startHeldScan(Operator& op) {
  motion_sim::neverComplete(kSerials[0], true);
  EnableAll(op);
  TypeGrid(op, Grid{{2, 1, 1}, {1, 1, 1}});
  RecordScanLed();
  op.click(PANEL_SCAN_START);
  ASSERT_TRUE(op.waitFor([&] { return op.readInt(PANEL_MOVELED) == 1 && op.readInt(PANEL_IX) == 0; }));
  platform_clock::setSpeed(0.5);  // the x-move's watchdog now lasts 20 s of real time
}

void abortHeldScan(Operator& op) {
  op.click(PANEL_SCAN_ABORT);
  ASSERT_TRUE(WaitForScanEnd(op));
  platform_clock::setSpeed(200.0);
}

// Buttons that act during a scan: stop-scan, abort, the three STOPs and Stop all.
bool actsDuringAScan(int control) {
  static const std::set<int> acting = {PANEL_SCAN_STOP, PANEL_SCAN_ABORT, PANEL_STOP_X,
                                       PANEL_STOP_Y, PANEL_STOP_Z, PANEL_STOP_ALL};
  return acting.contains(control);
}

TEST_F(ScanAbortTest, WhileAScanRunsEveryButtonItIgnoresLooksDimmedAndComesBackAsItWas) {
  const int result = RunQuarlex([&](Operator& op) {
    SetCtrlAttribute(p1_h, PANEL_RST_2, ATTR_DIMMED, 1);  // dimmed before the scan
    const auto onlyRst2 = [](int id) { return id == PANEL_RST_2; };
    std::vector<std::pair<int, bool>> before;
    ASSERT_TRUE(waitForDimming(op, onlyRst2, before));
    ASSERT_GT(before.size(), 25u);

    startHeldScan(op);
    std::vector<std::pair<int, bool>> during;
    EXPECT_TRUE(waitForDimming(op, [](int id) { return !actsDuringAScan(id); }, during));
    for (const auto& [id, dimmed] : during) EXPECT_EQ(dimmed, !actsDuringAScan(id)) << "control " << id;
    // Other controls (inputs, indicators) are not dimmed.
    for (const int id : {PANEL_NX, PANEL_TARGET_X, PANEL_CBX, PANEL_POS_X, PANEL_PROGRESS}) {
      int dimmed = -1;
      EXPECT_EQ(GetCtrlAttribute(p1_h, id, ATTR_DIMMED, &dimmed), 0);
      EXPECT_EQ(dimmed, 0) << "control " << id;
    }
    // A click on a dimmed button raises no event at all.
    const std::size_t queued = runtime_testing::queuedEventCount();
    for (const int control : {PANEL_JOG_X_PLUS, PANEL_SCAN_START, PANEL_QUIT}) op.click(control);
    EXPECT_EQ(runtime_testing::queuedEventCount(), queued);

    abortHeldScan(op);
    std::vector<std::pair<int, bool>> after;
    EXPECT_TRUE(waitForDimming(op, onlyRst2, after));
    EXPECT_EQ(after, before);
    int rst2 = 0;
    GetCtrlAttribute(p1_h, PANEL_RST_2, ATTR_DIMMED, &rst2);
    EXPECT_EQ(rst2, 1);
  });
  EXPECT_EQ(result, 0);
}

// The panel file with one more button, which no code of the program knows.
class LateButtonPanel {
 public:
  static constexpr int kLateButton = 990;
  LateButtonPanel() {
    std::ifstream in((QCoreApplication::applicationDirPath() + "/Quarlex_ui.uir").toStdString());
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string abortItem = "<number>110</number>\n                </property>\n"
                                  "               </widget>\n              </item>\n";
    const std::size_t at = text.find(abortItem);
    if (at != std::string::npos) {
      text.insert(at + abortItem.size(),
                  "<item row=\"4\" column=\"0\"><widget class=\"QPushButton\" name=\"late\">"
                  "<property name=\"ctrlId\" stdset=\"0\"><number>990</number></property>"
                  "</widget></item>\n");
      inserted_ = true;
    }
    std::ofstream(dir_.filePath("Quarlex_ui.uir").toStdString()) << text;
    runtime_testing::setPanelDirectory(dir_.path().toStdString());
  }
  ~LateButtonPanel() { runtime_testing::setPanelDirectory(""); }
  bool inserted() const { return inserted_; }

 private:
  QTemporaryDir dir_;
  bool inserted_ = false;
};

TEST_F(ScanAbortTest, AButtonAddedToThePanelFileIsDimmedDuringAScanToo) {
  const LateButtonPanel panel;
  ASSERT_TRUE(panel.inserted());
  const int result = RunQuarlex([&](Operator& op) {
    ASSERT_NE(runtime_testing::controlWidget(p1_h, LateButtonPanel::kLateButton), nullptr);
    startHeldScan(op);
    std::vector<std::pair<int, bool>> during;
    EXPECT_TRUE(waitForDimming(op, [](int id) { return !actsDuringAScan(id); }, during));
    EXPECT_TRUE(std::find(during.begin(), during.end(), std::pair{LateButtonPanel::kLateButton, true}) !=
                during.end());
    abortHeldScan(op);
    std::vector<std::pair<int, bool>> after;
    EXPECT_TRUE(waitForDimming(op, [](int) { return false; }, after));
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
