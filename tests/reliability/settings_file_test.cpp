// A settings file the program cannot use, met at start-up through the program's entry: one
// line says what is wrong, the program starts from the panel's own values, nothing moves, and
// the settings it keeps from then on are usable again.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"
#include "settings_file.h"

namespace {

class SettingsFileTest : public SimulatedRigTest {
 protected:
  SettingsFileTest() : SimulatedRigTest(1000.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    RemoveSettingsFiles();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(SettingsFilePath()).path()));
  }
};

void writeSettings(const QByteArray& bytes) {
  QFile file(SettingsFilePath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

// Settings as a run leaves them: a grid of 7 x points and a kept position.
const QByteArray kGoodSettings =
    "[bookmarks]\npositions=home\\t10\\t20\\t5\n\n[grid]\nnx=7\ndx=0.25\n\n[targets]\nx=42\n";

// The start of an executable, then a line that would set the grid if it were read.
const char kGarbage[] = "\x7f" "ELF\x02\x01\x00\xff\xfe[grid]\nnx=7\n";

int panelDefaultNx() {
  const int panel = LoadPanel(0, "Quarlex_ui.uir", PANEL);
  int nx = -1;
  GetCtrlVal(panel, PANEL_NX, &nx);
  DiscardPanel(panel);
  return nx;
}

std::vector<std::string> settingsLines(const std::vector<std::string>& lines) {
  std::vector<std::string> found;
  for (const std::string& line : lines) {
    if (line.rfind("Settings:", 0) == 0) found.push_back(line);
  }
  return found;
}

bool stageMoved() {
  for (const Command& c : Commands()) {
    if (c.function != "ISC_ClearMessageQueue") return true;
  }
  return false;
}

TEST_F(SettingsFileTest, AnUnusableFileIsReportedInOneLineAndSetAsideAndTheProgramStartsFromDefaults) {
  struct Case {
    const char* name;
    std::function<void()> make;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", [] { writeSettings(""); }, "is empty"},
      {"truncated", [] { writeSettings(kGoodSettings.left(kGoodSettings.size() - 3)); }, "is truncated"},
      {"binary garbage", [] { writeSettings(QByteArray(kGarbage, sizeof kGarbage - 1)); }, "is not text"},
      {"not UTF-8", [] { writeSettings("[grid]\nnx=7\xc3\x28\n"); }, "is not text"},
      // Root reads any file, so a directory in its place stands for a file that cannot be read.
      {"unreadable", [] { ASSERT_TRUE(QDir().mkpath(SettingsFilePath() + "/inside")); }, "is not a regular file"},
  };
  const int defaultNx = panelDefaultNx();
  ASSERT_NE(defaultNx, 7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RemoveSettingsFiles();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(SettingsFilePath()).path()));
    c.make();
    runtime_testing::stdioClear();
    motion_sim::reset();
    const int result = RunQuarlex([&](Operator& op) {
      const std::vector<std::string> lines = settingsLines(op.lines());
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_NE(lines[0].find(SettingsFilePath().toStdString() + " " + c.reason), std::string::npos) << lines[0];
      EXPECT_NE(lines[0].find("starting from defaults"), std::string::npos) << lines[0];
      EXPECT_EQ(op.readInt(PANEL_COMLED), 1);  // started and connected
      EXPECT_EQ(op.readInt(PANEL_NX), defaultNx);
      int rowCount = -1;
      op.onGuiThread([&] { GetNumListItems(p1_h, PANEL_BOOKMARK_LIST, &rowCount); });
      EXPECT_EQ(rowCount, 0);
      EXPECT_FALSE(stageMoved());
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(QFileInfo::exists(SettingsFilePath() + ".bad"));
    // The run kept its values in a new file, which the next start takes as it is.
    runtime_testing::stdioClear();
    EXPECT_EQ(CheckSettingsFile(), 0);
    EXPECT_TRUE(settingsLines(PrintedLines()).empty());
  }
}

TEST_F(SettingsFileTest, AGoodFileIsUsedAndUnreadableValuesInItAreLeftOutWithOneLineEach) {
  writeSettings(kGoodSettings);
  ASSERT_EQ(RunQuarlex([](Operator& op) {
              EXPECT_TRUE(settingsLines(op.lines()).empty());
              EXPECT_EQ(op.readInt(PANEL_NX), 7);
              EXPECT_EQ(op.readDouble(PANEL_DX), 0.25);
              EXPECT_EQ(op.readDouble(PANEL_TARGET_X), 42.0);
            }),
            0);
  EXPECT_FALSE(QFileInfo::exists(SettingsFilePath() + ".bad"));

  writeSettings(
      "[bookmarks]\npositions=home\\t10\\t20\\t5\\nbroken\\t1\\t2\\nfar\\t1\\tnan\\t3\n\n"
      "[grid]\nnx=seven\ndx=0.25\nx0=1e999\n\n[targets]\nx=42\n");
  runtime_testing::stdioClear();
  motion_sim::reset();
  ASSERT_EQ(RunQuarlex([](Operator& op) {
              EXPECT_EQ(settingsLines(op.lines()),
                        (std::vector<std::string>{
                            "Settings: 2 kept positions are unreadable and left out",
                            "Settings: 2 kept values are unreadable and left as the panel has them (first: grid/nx)"}));
              EXPECT_EQ(op.readDouble(PANEL_DX), 0.25);
              EXPECT_EQ(op.readDouble(PANEL_TARGET_X), 42.0);
              int rowCount = -1;
              op.onGuiThread([&] { GetNumListItems(p1_h, PANEL_BOOKMARK_LIST, &rowCount); });
              EXPECT_EQ(rowCount, 1);
              EXPECT_FALSE(stageMoved());
            }),
            0);
}

}  // namespace
