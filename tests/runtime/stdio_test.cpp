// The standard-I/O window and the capture of stdout behind it.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QProcess>

#include <cstdio>

#include "controls_panel.h"
#include "gui_runtime.h"
#include "line_order.h"
#include "runtime_testing.h"

namespace {

TEST(runtimeStdio, WindowShowsPrintedLinesBesideTheFirstPanelShown) {
  runtime_testing::stdioClear();
  std::printf("Stage X: homed\n");
  std::puts("Stage Y: homed");
  runtime_testing::stdioSync();
  EXPECT_EQ(runtime_testing::stdioLines(), (std::vector<std::string>{"Stage X: homed", "Stage Y: homed"}));

  auto* window = qobject_cast<QPlainTextEdit*>(runtime_testing::stdioWindow());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Standard Input/Output");
  EXPECT_TRUE(window->isReadOnly());
  EXPECT_TRUE(controls_panel::processEventsUntil(
      [&] { return window->toPlainText().contains("Stage X: homed\nStage Y: homed"); }));

  EXPECT_FALSE(window->isVisible()) << "no panel shown yet";
  const int panel = controls_panel::load();
  ASSERT_GT(panel, 0);
  ASSERT_EQ(DisplayPanel(panel), 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_GT(window->x(), runtime_testing::panelWidget(panel)->x());
}

// A child process prints from two threads; its lines must reach its real stdout, which the
// test reads, and its own log, which it checks itself.
TEST(runtimeStdio, LinesReachTheRealStdoutAndTheLogInOrder) {
  QProcess child;
  child.start(QUARLEX_STDIO_CHILD, {});
  ASSERT_TRUE(child.waitForFinished(60000)) << child.errorString().toStdString();
  std::vector<std::string> lines;
  for (const QByteArray& line : child.readAllStandardOutput().split('\n')) lines.push_back(line.toStdString());
  EXPECT_EQ(checkNumberedLines(lines, "ab", 2000), "");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], "log: complete") << "the last line, printed just before exit";
  EXPECT_EQ(child.exitCode(), 0);
}

}  // namespace
