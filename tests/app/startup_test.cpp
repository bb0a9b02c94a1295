// Start-up and shutdown through the program's entry, with the simulated rig.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "rig.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

std::string description(int axis) {
  TLI_DeviceInfo info{};
  TLI_GetDeviceInfo(kSerials[axis], &info);
  return info.description;
}

std::string connected(int axis) {
  return "Device " + std::to_string(axis) + " (serial " + kSerials[axis] + ") Connected... ";
}

class StartupTest : public SimulatedRigTest {
 protected:
  StartupTest() : SimulatedRigTest(1000.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    runtime_testing::stdioSync();
    runtime_testing::stdioClear();
  }
};

const std::vector<std::string> kThreeDisconnects(3, "Device Disconnected...");

TEST_F(StartupTest, ConnectsXYZInOrderAndClosesThemAtQuit) {
  int comled = -1;
  const int result = RunQuarlex([&](Operator& op) { comled = op.readInt(PANEL_COMLED); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(comled, 1);
  const std::vector<std::string> expected = {
      connected(0), description(0) + " err=0", connected(1), description(1) + " err=0",
      connected(2), description(2) + " err=0", "Device Disconnected...",
      "Device Disconnected...", "Device Disconnected..."};
  EXPECT_EQ(PrintedLines(), expected);
  EXPECT_EQ(motion_sim::calls("ISC_RegisterMessageCallback").size(), 3u);
  const auto closes = motion_sim::calls("ISC_Close");
  ASSERT_EQ(closes.size(), 3u);
  for (int axis = 0; axis < 3; axis++) EXPECT_EQ(closes[axis].serial, kSerials[axis]);
}

TEST_F(StartupTest, AStageThatFailsToOpenEndsTheSequenceButQuitStillClosesAll) {
  struct Case {
    int failing;
    short code;
    const char* printed;
  };
  for (const Case c : {Case{0, 2, "2"}, Case{1, 2, "2"}, Case{2, 2, "2"}, Case{1, -1, "ffffffff"}}) {
    SCOPED_TRACE("axis " + std::to_string(c.failing) + " code " + std::to_string(c.code));
    motion_sim::reset();
    runtime_testing::stdioSync();
    runtime_testing::stdioClear();
    motion_sim::failOpen(kSerials[c.failing], c.code);
    bool earlierStillPolled = true;
    const int result = RunQuarlex([&](Operator&) {
      for (int axis = 0; axis < c.failing; axis++) {
        earlierStillPolled = earlierStillPolled && motion_sim::stage(kSerials[axis]).polling;
      }
    });
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(earlierStillPolled);

    std::vector<std::string> expected;
    for (int axis = 0; axis < c.failing; axis++) {
      expected.push_back(connected(axis));
      expected.push_back(description(axis) + " err=0");
    }
    expected.push_back("Error connecting device " + std::to_string(c.failing) + " (" +
                       kSerials[c.failing] + ")");
    expected.push_back(description(c.failing) + " err=" + c.printed);
    expected.insert(expected.end(), kThreeDisconnects.begin(), kThreeDisconnects.end());
    EXPECT_EQ(PrintedLines(), expected);
    EXPECT_EQ(motion_sim::calls("ISC_Open").size(), static_cast<std::size_t>(c.failing + 1));
    EXPECT_EQ(motion_sim::calls("ISC_RegisterMessageCallback").size(), 3u);
    EXPECT_EQ(motion_sim::calls("ISC_Close").size(), 3u);
  }
}

TEST_F(StartupTest, FailedDeviceInformationReadsStillPrintATerminatedDescription) {
  // The first stage's read fails: nothing was ever written, so the description is empty.
  motion_sim::failDeviceInfo(kSerials[0], true);
  // A later stage's read fails: the previous stage's description is shown again.
  motion_sim::failDeviceInfo(kSerials[2], true);
  EXPECT_EQ(RunQuarlex([](Operator&) {}), 0);
  const std::vector<std::string> lines = PrintedLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[1], " err=0");
  EXPECT_EQ(lines[3], description(1) + " err=0");
  EXPECT_EQ(lines[5], description(1) + " err=0");
}

TEST_F(StartupTest, APanelFileStoringTheConnectLedOnSkipsTheConnectionButQuitClosesAll) {
  QFile real(QUARLEX_PANEL);
  ASSERT_TRUE(real.open(QIODevice::ReadOnly));
  QByteArray panel = real.readAll();
  const QByteArray led = "<widget class=\"Led\" name=\"comLed\">";
  ASSERT_TRUE(panel.contains(led));
  panel.replace(led, led + "<property name=\"on\"><bool>true</bool></property>");
  QTemporaryDir dir;
  QFile copy(dir.filePath("Quarlex_ui.uir"));
  ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
  copy.write(panel);
  copy.close();

  runtime_testing::setPanelDirectory(dir.path().toStdString());
  int comled = -1;
  const int result = RunQuarlex([&](Operator& op) { comled = op.readInt(PANEL_COMLED); });
  runtime_testing::setPanelDirectory("");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(comled, 1);
  EXPECT_TRUE(motion_sim::calls("ISC_Open").empty());
  EXPECT_TRUE(motion_sim::calls("TLI_BuildDeviceList").empty());
  EXPECT_TRUE(motion_sim::calls("ISC_RegisterMessageCallback").empty());
  EXPECT_EQ(motion_sim::calls("ISC_Close").size(), 3u);
  EXPECT_EQ(PrintedLines(), kThreeDisconnects);
}

TEST_F(StartupTest, FailedRunTimeInitialisationEndsWithMinusOneAndOpensNothing) {
  runtime_testing::failInit(true);
  static InstanceData instance{0, nullptr};
  const int result = WinMain(&instance, nullptr, nullptr, 1);
  runtime_testing::failInit(false);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(motion_sim::callLog().empty());
  EXPECT_TRUE(PrintedLines().empty());
}

}  // namespace
