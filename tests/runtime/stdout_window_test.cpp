// The standard-I/O window shows every line however the real stdout fails: a reader that
// leaves after one line, one that never reads, or none at all. A child process prints from
// its GUI thread and checks its own window; the test sets up its stdout and waits for it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "child_process.h"

namespace {

using child_process::FailingStdout;

TEST(StdoutWindowTest, EveryLineIsShownWhateverBecomesOfTheRealStdout) {
  const struct {
    const char* what;
    FailingStdout output;
  } cases[] = {
      {"reader leaves after one line", FailingStdout::ReaderLeavesAfterOneLine},
      {"reader never reads", FailingStdout::NeverRead},
      {"stdout closed", FailingStdout::Closed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const child_process::Child child = child_process::spawnWithFailingStdout(QUARLEX_STDOUT_WINDOW_CHILD, c.output);
    ASSERT_GT(child.pid, 0);
    if (c.output == FailingStdout::ReaderLeavesAfterOneLine) {
      EXPECT_EQ(child_process::readLines(child.readEnd, 1).substr(0, 7), "line 0 ");
      close(child.readEnd);
    }
    const std::optional<int> status = child_process::waitForExit(child.pid);
    ASSERT_TRUE(status.has_value()) << "the child hangs";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
    if (c.output == FailingStdout::NeverRead) close(child.readEnd);
  }
}

}  // namespace
