// The start-up through the program's entry, watched from inside the connection sequence: the
// panel and the standard-I/O window are painted at once, say which stage is being connected,
// show each connect line as it is printed, and take no operator input until the loop runs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

// Records the clock time of the first paint in the panel's window and in the standard-I/O
// window; installed on the application.
class PaintWatch : public QObject {
 public:
  double panelPainted = -1.0;
  double stdioPainted = -1.0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType() || p1_h <= 0) return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    if (window == runtime_testing::panelWidget(p1_h) && panelPainted < 0) panelPainted = platform_clock::now();
    if (window == runtime_testing::stdioWindow() && stdioPainted < 0) stdioPainted = platform_clock::now();
    return false;
  }
};

// What the probe saw at one moment of the connection sequence.
struct Sight {
  std::string status;      // the connection label
  bool enableXEnabled;     // the Enable X button takes input
  int stdioLines;          // lines in the standard-I/O window
  int logLines;            // lines in the in-panel log
};

class ConnectingTest : public SimulatedRigTest {
 protected:
  // Slow enough that the probe sees every stage's sleeps, fast enough for a short test.
  ConnectingTest() : SimulatedRigTest(10.0) {}
};

TEST_F(ConnectingTest, PanelIsPaintedAndTellsProgressWhileInputIsHeldUntilTheLoopRuns) {
  runtime_testing::stdioSync();
  runtime_testing::stdioClear();
  PaintWatch paints;
  std::vector<Sight> sights;
  std::size_t queuedBeforeClick = 0;
  std::size_t queuedAfterClick = 0;
  bool clicked = false;
  int stdioBefore = 0;
  int logBefore = 0;
  // Runs on the main thread from the sleeps of the connection sequence onwards.
  QTimer probe;
  probe.setInterval(1);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    QWidget* panel = p1_h > 0 ? runtime_testing::panelWidget(p1_h) : nullptr;
    if (!panel) return;
    const auto* status = panel->findChild<QLabel*>("connectionStatus");
    const auto* log = panel->findChild<QListWidget*>("messageLog");
    QWidget* enableX = runtime_testing::controlWidget(p1_h, PANEL_ENABLE_X);
    const auto* stdio = qobject_cast<QPlainTextEdit*>(runtime_testing::stdioWindow());
    const std::string text = status ? status->text().toStdString() : "<none>";
    // The window and the log keep the lines of earlier runs in this process: count from
    // what they held at the first sight.
    const int stdioCount = stdio && !stdio->toPlainText().isEmpty() ? stdio->document()->blockCount() : 0;
    const int logCount = log ? log->count() : 0;
    if (sights.empty()) {
      stdioBefore = stdioCount;
      logBefore = logCount;
    }
    sights.push_back({text, enableX->isEnabled(), stdioCount - stdioBefore, logCount - logBefore});
    if (!clicked && text == "Connecting Y (2/3)...") {
      clicked = true;
      queuedBeforeClick = runtime_testing::queuedEventCount();
      QTest::mouseClick(enableX, Qt::LeftButton, {}, enableX->rect().center());
      QTest::keyClick(panel, Qt::Key_Space);
      queuedAfterClick = runtime_testing::queuedEventCount();
    }
  });
  probe.start();
  qApp->installEventFilter(&paints);
  bool enabledInLoop = false;
  std::string statusInLoop;
  const int result = RunQuarlex([&](Operator& op) {
    op.onGuiThread([&] {
      probe.stop();
      enabledInLoop = runtime_testing::controlWidget(p1_h, PANEL_ENABLE_X)->isEnabled();
    });
    statusInLoop = LabelText(op, "connectionStatus");
  });
  EXPECT_EQ(result, 0);
  qApp->removeEventFilter(&paints);

  // Painted during the first stage's first sleep, before any stage was opened.
  const std::vector<double> opens = motion_sim::callTimes("ISC_Open");
  ASSERT_EQ(opens.size(), 3u);
  EXPECT_GE(paints.panelPainted, 0.0);
  EXPECT_GE(paints.stdioPainted, 0.0);
  EXPECT_LT(paints.panelPainted, opens[0]);
  EXPECT_LT(paints.stdioPainted, opens[0]);

  // Each stage was announced in turn. By the end of a stage's sleeps the lines of the
  // stages before it and its own "Connected" line were shown in both the standard-I/O
  // window and the log (the last line of a stage is printed after its sleeps).
  const char* const announced[] = {"Connecting X (1/3)...", "Connecting Y (2/3)...", "Connecting Z (3/3)..."};
  for (int stage = 0; stage < 3; stage++) {
    SCOPED_TRACE(announced[stage]);
    const Sight* last = nullptr;
    for (const Sight& s : sights) {
      if (s.status == announced[stage]) last = &s;
    }
    ASSERT_NE(last, nullptr);
    for (const int lines : {last->stdioLines, last->logLines}) {
      EXPECT_GE(lines, 2 * stage);
      EXPECT_LE(lines, 2 * stage + 1);
    }
  }
  bool everEnabledWhileConnecting = false;
  for (const Sight& s : sights) {
    if (s.status.rfind("Connecting", 0) == 0) everEnabledWhileConnecting |= s.enableXEnabled;
  }
  EXPECT_FALSE(everEnabledWhileConnecting);
  EXPECT_EQ(statusInLoop, "Stages connected");

  // The press during the connection queued nothing and reached no stage; the loop then took
  // input again.
  ASSERT_TRUE(clicked);
  EXPECT_EQ(queuedAfterClick, queuedBeforeClick);
  EXPECT_TRUE(motion_sim::calls("ISC_EnableChannel").empty());
  EXPECT_TRUE(enabledInLoop);
}

}  // namespace
