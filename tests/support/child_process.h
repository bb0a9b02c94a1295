// Runs an executable as a child process whose standard output the test sets up: a pipe it
// reads, a pipe it never reads, or none at all; and waits for it with a deadline.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace child_process {

// The child's stdout: `fd` in the child is a copy of this test's descriptor, or closed
// when -1. The child's stderr goes to the null device, its working directory is this one's.
pid_t spawn(const std::string& exe, int stdoutFd, const std::vector<std::string>& args = {});

// A standard output that fails, as `| head -1`, `| sleep 1000` and `>&-` make it fail.
enum class FailingStdout { ReaderLeavesAfterOneLine, NeverRead, Closed };
struct Child {
  pid_t pid = -1;
  int readEnd = -1;  // the test's end of the stdout pipe; -1 when stdout is closed
};
// Starts `exe` with that stdout. For ReaderLeavesAfterOneLine the test reads the line and
// closes readEnd; for NeverRead it keeps readEnd open and unread till the child has ended.
Child spawnWithFailingStdout(const std::string& exe, FailingStdout how);

// A pipe whose buffer is full: a write to fds[1] blocks until fds[0] is read. Returns the
// bytes it holds.
std::size_t fullPipe(int fds[2]);

// Reads `fd` until `lines` complete lines have come, the end of input, or `realSeconds`.
std::string readLines(int fd, int lines, double realSeconds = 60.0);
// Reads `fd` until its end; false after `realSeconds`.
bool readToEnd(int fd, std::string* text, double realSeconds = 60.0);

// True once the process catches `signal` with a handler of its own, within `realSeconds`.
bool catches(pid_t pid, int signal, double realSeconds = 60.0);
// True once a signal sent to the process is no longer pending, within `realSeconds`: a
// thread has taken it. Signals of one kind sent while one is pending merge into one.
bool delivered(pid_t pid, int signal, double realSeconds = 60.0);

// The wait status once the child has ended, or nullopt when it has not within `realSeconds`;
// it is then killed.
std::optional<int> waitForExit(pid_t pid, double realSeconds = 60.0);

}  // namespace child_process
