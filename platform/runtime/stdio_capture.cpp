// Shows what the process prints: stdout becomes a pipe whose reader thread passes every
// byte on to the real stdout and collects the complete lines, for the standard-I/O window
// and for tests.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>

#include "gui_runtime.h"
#include "runtime_testing.h"
#include "stdio_window.h"

namespace {

// stdioSync writes this through the pipe; the reader takes it out of the stream and so
// learns that everything written before it has been collected.
constexpr std::string_view kSyncMarker("\0QUARLEX-SYNC\0", 14);

constexpr std::size_t kMaxLines = 100000;      // lines kept for tests, the latest
constexpr std::size_t kMaxLineLength = 65536;  // longer text without a newline counts as a line

struct Capture {
  int originalStdout = -1;
  std::mutex writeMutex;  // markers enter the pipe in the order of their numbers
  std::uint64_t syncsWritten = 0;
  bool stopped = false;  // stdout is the real one again

  std::mutex mutex;
  std::condition_variable syncRead;
  std::uint64_t syncsRead = 0;
  std::deque<std::string> lines;
  bool toWindow = true;

  std::string partial;  // reader thread only
};

std::mutex startMutex;
// Set once and never destroyed: the reader thread runs until the process ends.
std::atomic<Capture*> capture{nullptr};

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the real stdout is gone; lines are still collected
    bytes.remove_prefix(std::size_t(n));
  }
}

// Passes text on to the real stdout and collects its complete lines.
void take(Capture& c, std::string_view text) {
  writeAll(c.originalStdout, text);
  std::vector<std::string> complete;
  for (const char ch : text) {
    if (ch != '\n') {
      c.partial += ch;
      if (c.partial.size() < kMaxLineLength) continue;
    }
    complete.push_back(std::move(c.partial));
    c.partial.clear();
  }
  if (complete.empty()) return;
  {
    std::lock_guard lock(c.mutex);
    c.lines.insert(c.lines.end(), complete.begin(), complete.end());
    while (c.lines.size() > kMaxLines) c.lines.pop_front();
    if (!c.toWindow) return;
  }
  runtime_impl::stdio_window::appendLines(std::move(complete));
}

void readPipe(Capture& c, int fd) {
  std::array<char, 4096> buffer;
  std::size_t matched = 0;  // bytes of a possible marker seen so far, across reads
  std::string text;
  for (;;) {
    const ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.clear();
    for (const char ch : std::string_view(buffer.data(), std::size_t(n))) {
      if (ch == kSyncMarker[matched]) {
        if (++matched < kSyncMarker.size()) continue;
        matched = 0;
        take(c, text);
        text.clear();
        std::lock_guard lock(c.mutex);
        ++c.syncsRead;
        c.syncRead.notify_all();
        continue;
      }
      // Not the marker after all: the bytes held back were text. Only its first byte can
      // start a marker again.
      text.append(kSyncMarker.substr(0, matched));
      matched = ch == kSyncMarker[0] ? 1 : 0;
      if (matched == 0) text += ch;
    }
    take(c, text);
  }
  close(fd);
}

// At exit, hands stdout back to the real one once everything printed has passed, so that
// neither the last lines nor what static destructors print get lost.
void stopAtExit() {
  runtime_testing::stdioSync();
  Capture* c = capture.load();
  {
    std::lock_guard lock(c->mutex);
    c->toWindow = false;
  }
  std::lock_guard lock(c->writeMutex);
  c->stopped = true;
  std::fflush(stdout);
  dup2(c->originalStdout, STDOUT_FILENO);
}

}  // namespace

int SetStdioPort(int port) {
  if (port != 0) return UIE_BAD_ARGUMENT;
  std::lock_guard lock(startMutex);
  if (capture.load()) return 0;
  std::fflush(stdout);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return UIE_BAD_ARGUMENT;
  const int original = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
  if (original < 0 || dup2(fds[1], STDOUT_FILENO) < 0) {
    for (const int fd : {fds[0], fds[1], original}) {
      if (fd >= 0) close(fd);
    }
    return UIE_BAD_ARGUMENT;
  }
  close(fds[1]);
  // A pipe would make stdout fully buffered; lines are to appear as they are printed.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  auto* c = new Capture;
  c->originalStdout = original;
  std::thread([c, fd = fds[0]] { readPipe(*c, fd); }).detach();
  runtime_impl::stdio_window::enable();
  capture.store(c);
  std::atexit(&stopAtExit);
  return 0;
}

std::vector<std::string> runtime_testing::stdioLines() {
  Capture* c = capture.load();
  if (!c) return {};
  std::lock_guard lock(c->mutex);
  return {c->lines.begin(), c->lines.end()};
}

void runtime_testing::stdioSync() {
  std::fflush(stdout);
  Capture* c = capture.load();
  if (!c) return;
  std::uint64_t ticket = 0;
  {
    std::lock_guard lock(c->writeMutex);
    if (c->stopped) return;
    ticket = ++c->syncsWritten;
    writeAll(STDOUT_FILENO, kSyncMarker);
  }
  std::unique_lock lock(c->mutex);
  c->syncRead.wait(lock, [&] { return c->syncsRead >= ticket; });
}

void runtime_testing::stdioClear() {
  // Lines printed before the call may still be in the pipe; they go too.
  stdioSync();
  Capture* c = capture.load();
  if (!c) return;
  std::lock_guard lock(c->mutex);
  c->lines.clear();
}
