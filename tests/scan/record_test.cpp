// The scan record file through the real panel on the simulated rig: its content, where it
// goes, a record that cannot be created, a write that fails mid-scan, and a kill -9 of a real
// process during a scan.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "record_file.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

class ScanRecordTest : public SimulatedRigTest {
 protected:
  ScanRecordTest() : SimulatedRigTest(200.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    ASSERT_TRUE(folder_.isValid());
    ASSERT_EQ(SetSetting(kRecordFolderKey, folder_.path().toUtf8().constData()), 0);
  }
  QTemporaryDir folder_;
};

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

std::string readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

// The records in `folder`, by name.
QStringList records(const QString& folder) {
  return QDir(folder).entryList({"scan-*.csv"}, QDir::Files, QDir::Name);
}

// A record split into its parts; every line of it must be a full line.
struct Parsed {
  std::vector<std::string> head;              // '#' lines before the column header
  std::string columns;
  std::vector<std::vector<std::string>> rows;  // fields
  std::vector<std::string> tail;              // '#' lines after the rows
};

Parsed parse(const std::string& text) {
  Parsed p;
  EXPECT_TRUE(!text.empty() && text.back() == '\n') << "the file ends inside a line";
  std::vector<std::string> lines = split(text, '\n');
  lines.pop_back();
  for (const std::string& line : lines) {
    if (line.rfind("#", 0) == 0) {
      (p.columns.empty() ? p.head : p.tail).push_back(line);
    } else if (p.columns.empty()) {
      p.columns = line;
    } else {
      EXPECT_TRUE(p.tail.empty()) << "row after the closing line: " << line;
      p.rows.push_back(split(line, ','));
      EXPECT_EQ(p.rows.back().size(), 17u) << line;
    }
  }
  return p;
}

std::string lastScanLine(Operator& op) {
  std::string found;
  for (const std::string& line : op.lines()) {
    if (line.rfind("Scan ", 0) == 0) found = line;
  }
  return found;
}

// Each row is the next point of the raster over `grid` (x fastest), numbered from 1.
void expectRasterRows(const Parsed& p, const Grid& grid) {
  for (std::size_t i = 0; i < p.rows.size(); i++) {
    const std::vector<std::string>& r = p.rows[i];
    const int index[3] = {static_cast<int>(i % grid.n[0]),
                          static_cast<int>(i / grid.n[0] % grid.n[1]),
                          static_cast<int>(i / (grid.n[0] * grid.n[1]))};
    EXPECT_EQ(r[0], std::to_string(i + 1));
    for (int k = 0; k < 3; k++) {
      EXPECT_EQ(std::stoi(r[1 + k]), index[k]) << "row " << i + 1;
      EXPECT_DOUBLE_EQ(std::stod(r[4 + k]), grid.start[k] + index[k] * grid.step[k]) << "row " << i + 1;
    }
  }
}

TEST_F(ScanRecordTest, ARecordHoldsTheGridEveryPointAndTheOutcome) {
  motion_sim::neverComplete(kSerials[1], true);  // y's waits time out: flagged in the rows
  const Grid grid{{3, 2, 1}, {1, 1, 0}};
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, grid);
    RunScan(op);
    const QStringList names = records(folder_.path());
    ASSERT_EQ(names.size(), 1);
    const QString path = folder_.filePath(names[0]);
    EXPECT_TRUE(QRegularExpression("^scan-\\d{8}-\\d{6}\\.csv$").match(names[0]).hasMatch()) << names[0].toStdString();
    EXPECT_TRUE(op.waitFor([&] { return LabelText(op, kRecordLabel) == path.toStdString(); }, 10.0));

    const Parsed p = parse(readAll(path));
    ASSERT_GE(p.head.size(), 4u);
    EXPECT_TRUE(QRegularExpression(R"(^# started \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(Z|[+-]\d\d:\d\d)$)")
                    .match(QString::fromStdString(p.head[1])).hasMatch()) << p.head[1];
    const std::vector<std::string> rest(p.head.begin() + 2, p.head.end());
    const std::vector<std::string> expectedHead = {
        "# program version 0.1.0",
        std::string("# serial numbers X ") + kSerials[0] + " Y " + kSerials[1] + " Z " + kSerials[2],
        "# grid x: 3 points from 10.000000 mm, step 1.000000 mm, scanned",
        "# grid y: 2 points from 20.000000 mm, step 2.000000 mm, scanned",
        "# grid z: 1 points from 5.000000 mm, step 0.500000 mm, not scanned",
        "# planned points 6"};
    EXPECT_EQ(rest, expectedHead);
    EXPECT_EQ(p.columns,
              "point,ix,iy,iz,x_target_mm,y_target_mm,z_target_mm,x_mm,y_mm,z_mm,x_status,y_status,"
              "z_status,x_timed_out,y_timed_out,z_timed_out,seconds");
    ASSERT_EQ(p.rows.size(), 6u);
    expectRasterRows(p, grid);
    double seconds = 0.0;
    for (const std::vector<std::string>& r : p.rows) {
      // x stands at its target, as sampled by the stage: within half a step.
      EXPECT_NEAR(std::stod(r[7]), std::stod(r[4]), 0.5);
      for (int k = 0; k < 3; k++) {
        EXPECT_TRUE(QRegularExpression("^0x[0-9A-F]{8}$").match(QString::fromStdString(r[10 + k])).hasMatch()) << r[10 + k];
      }
      EXPECT_NE(std::stoul(r[10], nullptr, 16) & 0x80000000u, 0u);  // enabled
      EXPECT_EQ((std::vector<std::string>{r[13], r[14], r[15]}), (std::vector<std::string>{"0", "1", "0"}));
      const double s = std::stod(r[16]);
      EXPECT_GT(s, seconds);
      seconds = s;
    }
    // In clock time: two rows, each after a 10 s y time-out, plus dwells and x-moves.
    EXPECT_GE(seconds, 20.0);
    EXPECT_LT(seconds, 300.0);
    EXPECT_EQ(p.tail, std::vector<std::string>{"# " + lastScanLine(op)});
    EXPECT_EQ(lastScanLine(op),
              "Scan finished: 6 of 6 points done, 6 points timed out (first at ix 0, iy 0, iz 0, axis Y)");

    // The next scan gets a file of its own.
    motion_sim::neverComplete(kSerials[1], false);
    RunScan(op);
    EXPECT_EQ(records(folder_.path()).size(), 2);
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanRecordTest, ARecordThatCannotBeCreatedKeepsTheScanFromStarting) {
  // Root writes into folders without write permission, so then a folder of the kernel's
  // stands in for a read-only one.
  QTemporaryDir readOnly;
  QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner);
  struct Case {
    const char* what;
    std::string folder;
    std::string reason;  // part of the pop-up
  };
  const Case cases[] = {
      {"a read-only folder", geteuid() == 0 ? "/sys/kernel" : readOnly.path().toStdString(),
       "Permission denied"},
      {"a folder that cannot be made", "/proc/quarlex-none/records", "cannot make the folder"},
  };
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{2, 1, 1}, {1, 1, 1}});
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      SetSetting(kRecordFolderKey, c.folder.c_str());
      RecordScanLed();
      motion_sim::clearCallLog();
      op.click(PANEL_SCAN_START);
      std::string popup;
      ASSERT_TRUE(op.waitFor([&] { return !(popup = op.popupText()).empty(); }));
      EXPECT_NE(popup.find("Scan record: "), std::string::npos) << popup;
      EXPECT_NE(popup.find(c.folder + "/scan-"), std::string::npos) << popup;
      EXPECT_NE(popup.find(c.reason), std::string::npos) << popup;
      op.dismissPopup();
      PressStop(op);
      EXPECT_TRUE(AbsoluteMoves().empty());
      EXPECT_TRUE(runtime_testing::writes(p1_h, PANEL_SCANLED).empty());
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(ScanRecordTest, AFullDeviceIsRefusedWithItsReason) {
  std::string reason;
  EXPECT_FALSE(RecordCreateAt("/dev/full", &reason));
  EXPECT_EQ(reason, "No space left on device");
  EXPECT_TRUE(QFile::exists("/dev/full"));
}

TEST_F(ScanRecordTest, AWriteThatFailsMidScanEndsTheScanAfterThatPointAndKeepsTheRows) {
  // Files of this process may not grow past a few rows: the next row's write then fails as on
  // a full disk (EFBIG), while the scan runs.
  const Grid grid{{10, 1, 1}, {1, 0, 0}};
  signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, grid);
    motion_sim::clearCallLog();
    rlimit small = before;
    small.rlim_cur = 900;
    setrlimit(RLIMIT_FSIZE, &small);
    RunScan(op);
    setrlimit(RLIMIT_FSIZE, &before);
    const QStringList names = records(folder_.path());
    ASSERT_EQ(names.size(), 1);
    const Parsed p = parse(readAll(folder_.filePath(names[0])));
    const std::size_t kept = p.rows.size();
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, 9u);
    expectRasterRows(p, grid);
    // The failing point was the one after the last row: it completed, and no move followed.
    EXPECT_EQ(AbsoluteMoves().size(), 2 + kept + 1);
    std::string failure;
    for (const std::string& line : op.lines()) {
      if (line.rfind("Scan record: writing point ", 0) == 0) failure = line;
    }
    EXPECT_NE(failure.find("point " + std::to_string(kept + 1) + " to "), std::string::npos) << failure;
    EXPECT_NE(failure.find("File too large"), std::string::npos) << failure;
    EXPECT_NE(failure.find("the scan ends after this point"), std::string::npos) << failure;
    EXPECT_EQ(lastScanLine(op), "Scan ended: its record could not be written: " +
                                    std::to_string(kept + 1) + " of 10 points done, 0 points timed out");
  });
  setrlimit(RLIMIT_FSIZE, &before);
  EXPECT_EQ(result, 0);
}

TEST_F(ScanRecordTest, TheFolderChosenOnThePanelIsRemembered) {
  QTemporaryDir chosen;
  const int result = RunQuarlex([&](Operator& op) {
    op.click(PANEL_RECORD_FOLDER);
    QFileDialog* dialog = nullptr;
    ASSERT_TRUE(op.waitFor([&] {
      op.onGuiThread([&] { dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); });
      return dialog != nullptr;
    }));
    op.onGuiThread([&] {
      // Typed into the dialog's name field, then chosen.
      QLineEdit* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(chosen.path());
      static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(op.waitFor([&] { return RecordFolder() == chosen.path().toStdString(); }));
    EnableAll(op);
    TypeGrid(op, Grid{{1, 1, 1}, {0, 0, 0}});
    RunScan(op);
    EXPECT_EQ(records(chosen.path()).size(), 1);
    EXPECT_TRUE(records(folder_.path()).empty());
  });
  EXPECT_EQ(result, 0);
  // Kept in the settings file, where the next run reads it.
  QFile ini(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME")) + "/Quarlex/Quarlex.ini");
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_NE(ini.readAll().indexOf(chosen.path().toUtf8()), -1);
}

// Run as a child process by the kill test below: a long scan, waiting to be killed.
TEST_F(ScanRecordTest, DISABLED_ChildScansUntilKilled) {
  platform_clock::setSpeed(1.0);
  const int result = RunQuarlex([&](Operator& op) {
    SetSetting(kRecordFolderKey, std::getenv("QUARLEX_RECORD_DIR"));
    EnableAll(op);
    TypeGrid(op, Grid{{50, 1, 1}, {1, 0, 0}, {10.0, 20.0, 5.0}, {0.2, 0.0, 0.0}});
    RunScan(op);
  });
  EXPECT_EQ(result, 0);
}

TEST(ScanRecordKillTest, AKillDuringAScanLeavesEveryCompletedPointAsAFullRow) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("QUARLEX_RECORD_DIR", dir.path());
  QProcess child;
  child.setProcessEnvironment(env);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_also_run_disabled_tests", "--gtest_filter=ScanRecordTest.DISABLED_ChildScansUntilKilled"});
  ASSERT_TRUE(child.waitForStarted());
  // Kill it once a few rows are on disk, in the middle of the scan.
  int rowsSeen = 0;
  for (int i = 0; i < 600 && rowsSeen < 4; i++) {
    QThread::msleep(50);
    const QStringList names = records(dir.path());
    if (names.isEmpty()) continue;
    const std::string text = readAll(dir.filePath(names[0]));
    rowsSeen = 0;
    for (const std::string& line : split(text, '\n')) {
      if (!line.empty() && line[0] >= '1' && line[0] <= '9') rowsSeen++;
    }
  }
  ASSERT_GE(rowsSeen, 4) << child.readAllStandardOutput().toStdString();
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  const QStringList names = records(dir.path());
  ASSERT_EQ(names.size(), 1);
  const Parsed p = parse(readAll(dir.filePath(names[0])));
  // Every point done before the kill is there as a full row, in raster order.
  EXPECT_GE(p.rows.size(), static_cast<std::size_t>(rowsSeen));
  expectRasterRows(p, Grid{{50, 1, 1}, {1, 0, 0}, {10.0, 20.0, 5.0}, {0.2, 0.0, 0.0}});
  EXPECT_TRUE(p.tail.empty());  // no outcome: the program never learnt it was ending
}

}  // namespace
