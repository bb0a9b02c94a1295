#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

extern char** environ;

namespace child_process {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline(double realSeconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(realSeconds));
}

// Waits for `fd` to become readable; false at the deadline.
bool readable(int fd, Clock::time_point until) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, int(left)) > 0) return true;
  }
}

}  // namespace

pid_t spawn(const std::string& exe, int stdoutFd, const std::vector<std::string>& args) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd < 0) {
    posix_spawn_file_actions_addclose(&actions, 1);
  } else {
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  }
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> all = {exe};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // A runtime folder of its own: children run side by side, and the program lets only one
  // instance run per runtime folder.
  char runtimeDir[] = "/tmp/quarlex-child-XXXXXX";
  std::string runtimeVar = std::string("XDG_RUNTIME_DIR=") + (mkdtemp(runtimeDir) ? runtimeDir : "");
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0) env.push_back(*e);
  }
  env.push_back(runtimeVar.data());
  env.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), env.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::size_t fullPipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) return 0;
  fcntl(fds[1], F_SETFL, O_NONBLOCK);
  const std::string chunk(4096, 'f');
  std::size_t held = 0;
  for (;;) {
    const ssize_t n = write(fds[1], chunk.data(), chunk.size());
    if (n > 0) held += std::size_t(n);
    if (n <= 0) break;
  }
  // Blocking again: the description is shared with the child, whose writes must wait.
  fcntl(fds[1], F_SETFL, 0);
  return held;
}

Child spawnWithFailingStdout(const std::string& exe, FailingStdout how) {
  int fds[2] = {-1, -1};
  if (how == FailingStdout::ReaderLeavesAfterOneLine && pipe2(fds, O_CLOEXEC) != 0) return {};
  if (how == FailingStdout::NeverRead && fullPipe(fds) == 0) return {};
  const pid_t pid = spawn(exe, fds[1]);
  if (fds[1] >= 0) close(fds[1]);
  return {pid, fds[0]};
}

std::string readLines(int fd, int lines, double realSeconds) {
  const auto until = deadline(realSeconds);
  std::string text;
  int seen = 0;
  char ch = 0;
  while (seen < lines && readable(fd, until) && read(fd, &ch, 1) == 1) {
    text += ch;
    if (ch == '\n') ++seen;
  }
  return text;
}

bool readToEnd(int fd, std::string* text, double realSeconds) {
  const auto until = deadline(realSeconds);
  char buffer[4096];
  for (;;) {
    if (!readable(fd, until)) return false;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return true;
    text->append(buffer, std::size_t(n));
  }
}

// The signal mask a line of /proc/<pid>/status gives, such as "SigCgt:"; 0 when unreadable.
static unsigned long long statusMask(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stoull(line.substr(field.size()), nullptr, 16);
  }
  return 0;
}

// True once the signal's bit in the status field is `set`, within `realSeconds`.
static bool waitForMask(pid_t pid, const std::string& field, int signal, bool set, double realSeconds) {
  const auto until = deadline(realSeconds);
  const unsigned long long bit = 1ull << (signal - 1);
  while (Clock::now() < until) {
    if (((statusMask(pid, field) & bit) != 0) == set) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

bool catches(pid_t pid, int signal, double realSeconds) {
  return waitForMask(pid, "SigCgt:", signal, true, realSeconds);
}

bool delivered(pid_t pid, int signal, double realSeconds) {
  return waitForMask(pid, "ShdPnd:", signal, false, realSeconds);
}

std::optional<int> waitForExit(pid_t pid, double realSeconds) {
  const auto until = deadline(realSeconds);
  int status = 0;
  while (Clock::now() < until) {
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return std::nullopt;
}

}  // namespace child_process
