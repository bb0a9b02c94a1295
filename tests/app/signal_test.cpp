// Termination signals end the session as QUIT does: a running scan ends at once with every
// stage stopped, the stages are closed with their lines, and the program exits 0; a second
// signal during that shutdown ends the process at once.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "platform_clock.h"
#include "rig.h"
#include "runtime_testing.h"

namespace {

using motion_sim::kSerials;

class SignalTest : public SimulatedRigTest {
 protected:
  SignalTest() : SimulatedRigTest(200.0) {}
};

long countOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

// Platform-clock times of one function's calls that reached one stage.
std::vector<double> timesFor(const std::string& function, const char* serial) {
  const std::vector<motion_sim::Call> calls = motion_sim::calls(function);
  const std::vector<double> times = motion_sim::callTimes(function);
  std::vector<double> mine;
  for (std::size_t i = 0; i < calls.size() && i < times.size(); i++) {
    if (calls[i].serial == serial) mine.push_back(times[i]);
  }
  return mine;
}

// Each stage was closed once, its polling stopped first, and "Device Disconnected..." was
// printed three times.
void expectClosedWithTheirLines() {
  for (const char* serial : kSerials) {
    SCOPED_TRACE(serial);
    const std::vector<double> stopPolling = timesFor("ISC_StopPolling", serial);
    const std::vector<double> close = timesFor("ISC_Close", serial);
    ASSERT_EQ(stopPolling.size(), 1u);
    ASSERT_EQ(close.size(), 1u);
    EXPECT_LE(stopPolling[0], close[0]);
  }
  EXPECT_EQ(countOf(PrintedLines(), "Device Disconnected..."), 3);
}

TEST_F(SignalTest, ASignalWhileIdleClosesTheStagesAndExitsZero) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    motion_sim::reset();
    const int result = RunQuarlex([signal](Operator& op) {
      runtime_testing::stdioClear();
      motion_sim::clearCallLog();
      kill(getpid(), signal);
      EXPECT_TRUE(op.waitForProgramEnd());
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(motion_sim::callCount("ISC_StopProfiled"), 0u) << "no scan ran: nothing to stop";
    expectClosedWithTheirLines();
  }
}

TEST_F(SignalTest, ASignalClosesAnOpenPopupAndEndsTheSession) {
  const int result = RunQuarlex([](Operator& op) {
    op.click(PANEL_SCAN_START);  // no stage enabled: the refusal pop-up stays open
    ASSERT_TRUE(op.waitFor([&] { return !op.popupText().empty(); }));
    runtime_testing::stdioClear();
    motion_sim::clearCallLog();
    kill(getpid(), SIGTERM);
    EXPECT_TRUE(op.waitForProgramEnd());
  });
  EXPECT_EQ(result, 0);
  expectClosedWithTheirLines();
}

TEST_F(SignalTest, ASignalMidScanStopsEveryStageAtOnceThenClosesThem) {
  // X never reports its move's end: without the abort its wait would last the 10 s watchdog
  // and print the time-out lines.
  motion_sim::neverComplete(kSerials[0], true);
  double xMoveTime = 0.0;
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    TypeGrid(op, Grid{{3, 2, 2}, {1, 1, 1}});
    platform_clock::setSpeed(1.0);  // the watchdog's 10 s are real seconds: room for the test
    runtime_testing::stdioClear();
    motion_sim::clearCallLog();
    op.click(PANEL_SCAN_START);
    ASSERT_TRUE(op.waitFor([] { return !timesFor("ISC_MoveAbsolute", kSerials[0]).empty(); }));
    xMoveTime = timesFor("ISC_MoveAbsolute", kSerials[0])[0];
    kill(getpid(), SIGTERM);
    EXPECT_TRUE(op.waitForProgramEnd());
  });
  EXPECT_EQ(result, 0);
  // The scan ended at the first point: no further move.
  const std::vector<Move> moves = {{'Z', 5.0}, {'Y', 20.0}, {'X', 10.0}};
  EXPECT_EQ(AbsoluteMoves(), moves);
  for (const char* serial : kSerials) {
    SCOPED_TRACE(serial);
    const std::vector<double> stops = timesFor("ISC_StopProfiled", serial);
    const std::vector<double> close = timesFor("ISC_Close", serial);
    ASSERT_FALSE(stops.empty());
    ASSERT_EQ(close.size(), 1u);
    // Stopped after the last move and before closing, well inside the watchdog's 10 s.
    EXPECT_GE(stops.front(), xMoveTime);
    EXPECT_LE(stops.back(), close[0]);
    EXPECT_LT(close[0] - xMoveTime, 8.0);
  }
  const std::vector<std::string> lines = PrintedLines();
  EXPECT_EQ(countOf(lines, "LTS timeout"), 0);
  EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                           [](const std::string& line) { return line.starts_with("Timeout in axis"); }));
  expectClosedWithTheirLines();
}

// The program as a process, its stdout read through a pipe.
struct Session {
  pid_t pid = -1;
  int out = -1;
};

Session startProgram() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return {};
  const pid_t pid = child_process::spawn(QUARLEX_EXE, fds[1]);
  close(fds[1]);
  return {pid, fds[0]};
}

TEST(SignalProcessTest, EachTerminationSignalEndsTheProgramWithItsStagesClosedAndExitZero) {
  const int signals[] = {SIGTERM, SIGINT, SIGHUP};
  std::vector<Session> sessions;
  // Side by side: each waits for its connection sequence in real time.
  for (std::size_t i = 0; i < std::size(signals); i++) {
    sessions.push_back(startProgram());
    ASSERT_GT(sessions.back().pid, 0);
  }
  for (std::size_t i = 0; i < sessions.size(); i++) {
    SCOPED_TRACE(strsignal(signals[i]));
    // The first line comes from the connection sequence, after the handler is in place.
    std::string out = child_process::readLines(sessions[i].out, 1);
    ASSERT_FALSE(out.empty());
    kill(sessions[i].pid, signals[i]);
    EXPECT_TRUE(child_process::readToEnd(sessions[i].out, &out));
    close(sessions[i].out);
    const std::optional<int> status = child_process::waitForExit(sessions[i].pid);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
    // The connection sequence completes, then the stages are closed.
    for (const char* connected : {"Device 0 (serial 45388004) Connected... \n", "Device 2 (serial 45388034) Connected... \n"}) {
      EXPECT_NE(out.find(connected), std::string::npos) << out;
    }
    std::size_t disconnected = 0;
    for (std::size_t at = out.find("Device Disconnected...\n"); at != std::string::npos;
         at = out.find("Device Disconnected...\n", at + 1)) {
      ++disconnected;
    }
    EXPECT_EQ(disconnected, 3u) << out;
  }
}

TEST(SignalProcessTest, ASecondSignalEndsTheProcessAtOnce) {
#if defined(__SANITIZE_THREAD__)
  // The thread checker takes every signal itself and hands it to the program's handler only
  // at a point of its choosing, so when the second one arrives is not the test's to decide.
  GTEST_SKIP() << "signal timing is the thread checker's under ThreadSanitizer";
#endif
  const Session session = startProgram();
  ASSERT_GT(session.pid, 0);
  std::string out = child_process::readLines(session.out, 1);
  ASSERT_FALSE(out.empty());
  // The first request waits for the connection sequence to end; the second does not.
  kill(session.pid, SIGTERM);
  ASSERT_TRUE(child_process::delivered(session.pid, SIGTERM));
  kill(session.pid, SIGTERM);
  const std::optional<int> status = child_process::waitForExit(session.pid);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM) << "status " << *status;
  EXPECT_TRUE(child_process::readToEnd(session.out, &out));
  close(session.out);
  EXPECT_EQ(out.find("Disconnected"), std::string::npos) << out;
}

}  // namespace
