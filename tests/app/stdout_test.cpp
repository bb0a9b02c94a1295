// The program with a standard output that fails: a reader that leaves after one line (as
// `quarlex | head -1`), one that never reads (`quarlex | sleep 1000`), or none at all
// (`quarlex >&-`). None may kill, block or hang it: a termination request still finds the
// event loop running, and the program closes its stages and exits 0.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "child_process.h"

namespace {

using child_process::Child;
using child_process::FailingStdout;

struct Case {
  const char* what;
  FailingStdout output;
};

TEST(StdoutTest, AFailingStandardOutputNeitherKillsNorBlocksNorHangsTheProgram) {
  const std::array<Case, 3> cases = {{
      {"reader leaves after one line", FailingStdout::ReaderLeavesAfterOneLine},
      {"reader never reads", FailingStdout::NeverRead},
      {"stdout closed", FailingStdout::Closed},
  }};
  std::array<Child, 3> runs;
  // Side by side: each waits for its connection sequence in real time.
  for (std::size_t i = 0; i < cases.size(); i++) {
    runs[i] = child_process::spawnWithFailingStdout(QUARLEX_EXE, cases[i].output);
    ASSERT_GT(runs[i].pid, 0) << cases[i].what;
  }
  for (std::size_t i = 0; i < cases.size(); i++) {
    SCOPED_TRACE(cases[i].what);
    const Child& run = runs[i];
    if (cases[i].output == FailingStdout::ReaderLeavesAfterOneLine) {
      // The first line comes from the connection sequence; every later line meets a closed
      // pipe, which would end the program with SIGPIPE.
      EXPECT_EQ(child_process::readLines(run.readEnd, 1), "Device 0 (serial 45388004) Connected... \n");
      close(run.readEnd);
    } else {
      ASSERT_TRUE(child_process::catches(run.pid, SIGTERM));
    }
    if (cases[i].output == FailingStdout::Closed) {
      // Descriptor 1 is the capture's pipe, not given away to whatever opens next.
      const auto target = std::filesystem::read_symlink("/proc/" + std::to_string(run.pid) + "/fd/1");
      EXPECT_TRUE(target.string().starts_with("pipe:")) << target;
    }
    // The request is taken by the event loop, after the connection sequence: that loop
    // must be running, not blocked in a write.
    kill(run.pid, SIGTERM);
    const std::optional<int> status = child_process::waitForExit(run.pid);
    ASSERT_TRUE(status.has_value()) << "the program hangs";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
    if (cases[i].output == FailingStdout::NeverRead) close(run.readEnd);
  }
}

}  // namespace
