// Shows what the process prints: stdout becomes a pipe whose reader thread collects the
// complete lines, for the standard-I/O window and for tests, and hands every byte to a
// mirror that copies it to the real stdout. The reader never waits for the real stdout, so
// one that is full, broken or closed blocks, kills or hangs nothing.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "gui_runtime.h"
#include "message_log.h"
#include "runtime_testing.h"
#include "stdio_fd.h"
#include "stdio_window.h"
#include "stdout_mirror.h"

namespace {

// stdioSync writes this through the pipe; the reader takes it out of the stream and so
// learns that everything written before it has been collected.
constexpr std::string_view kSyncMarker("\0QUARLEX-SYNC\0", 14);

constexpr std::size_t kMaxLines = 100000;      // lines kept for tests, the latest
constexpr std::size_t kMaxLineLength = 65536;  // longer text without a newline counts as a line
constexpr std::size_t kMirrorCapacity = 1 << 20;  // bytes waiting for a slow real stdout
// At exit the mirror may finish writing as long as it makes progress at least this often
// (clock seconds); a real stdout that takes nothing for longer is given up.
constexpr double kExitStallSeconds = 2.0;

namespace fd = runtime_impl::stdio_fd;

struct Capture {
  int originalStdout = -1;  // -1 when the process had no stdout
  std::shared_ptr<runtime_impl::StdoutMirror> mirror;  // null without a real stdout
  std::mutex writeMutex;  // markers enter the pipe in the order of their numbers
  std::uint64_t syncsWritten = 0;
  bool stopped = false;  // stdout is the real one again

  std::mutex mutex;
  std::condition_variable syncRead;
  std::uint64_t syncsRead = 0;
  bool readerEnded = false;  // nothing more will be collected
  std::deque<std::string> lines;
  bool toWindow = true;

  std::string partial;  // reader thread only
};

std::mutex startMutex;
// Set once and never destroyed: the reader thread runs until the process ends.
std::atomic<Capture*> capture{nullptr};

void writeAll(int target, std::string_view bytes) {
  while (!bytes.empty()) {
    const long n = fd::writeSome(target, bytes.data(), bytes.size());
    if (n <= 0) return;
    bytes.remove_prefix(std::size_t(n));
  }
}

// Passes text on to the real stdout and collects its complete lines.
void take(Capture& c, std::string_view text) {
  if (c.mirror) c.mirror->offer(text);
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
  runtime_impl::message_log::appendLines(complete);
  runtime_impl::stdio_window::appendLines(std::move(complete));
}

void readPipe(Capture& c, int pipeFd) {
  std::array<char, 4096> buffer;
  std::size_t matched = 0;  // bytes of a possible marker seen so far, across reads
  std::string text;
  for (;;) {
    const long n = fd::readSome(pipeFd, buffer.data(), buffer.size());
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
  fd::closeFd(pipeFd);
  std::lock_guard lock(c.mutex);
  c.readerEnded = true;
  c.syncRead.notify_all();
}

// At exit, hands stdout back to the real one once everything printed has passed, so that
// neither the last lines nor what static destructors print get lost. A real stdout that
// takes nothing, or is gone, gets the null device instead: the exit must not wait for it.
void stopAtExit() {
  runtime_testing::stdioSync();
  Capture* c = capture.load();
  {
    std::lock_guard lock(c->mutex);
    c->toWindow = false;
  }
  const bool caughtUp = c->mirror && c->mirror->drain(kExitStallSeconds);
  std::lock_guard lock(c->writeMutex);
  c->stopped = true;
  std::fflush(stdout);
  if (caughtUp) {
    fd::replace(c->originalStdout, fd::kStdout);
  } else {
    fd::nullify(fd::kStdout);
  }
}

}  // namespace

int SetStdioPort(int port) {
  if (port != 0) return UIE_BAD_ARGUMENT;
  std::lock_guard lock(startMutex);
  if (capture.load()) return 0;
  std::fflush(stdout);
  fd::ignoreBrokenPipe();
  // A closed stdout would let the pipe itself take its number; the null device holds it,
  // and there is no real stdout to copy to.
  const bool hadStdout = fd::isOpen(fd::kStdout);
  if (!hadStdout && !fd::nullify(fd::kStdout)) return UIE_BAD_ARGUMENT;
  int fds[2];
  if (!fd::makePipe(fds)) return UIE_BAD_ARGUMENT;
  const int original = hadStdout ? fd::duplicate(fd::kStdout) : -1;
  if ((hadStdout && original < 0) || !fd::replace(fds[1], fd::kStdout)) {
    for (const int open : {fds[0], fds[1], original}) {
      if (open >= 0) fd::closeFd(open);
    }
    return UIE_BAD_ARGUMENT;
  }
  fd::closeFd(fds[1]);
  // A pipe would make stdout fully buffered; lines are to appear as they are printed.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  auto* c = new Capture;
  c->originalStdout = original;
  if (original >= 0) c->mirror = runtime_impl::StdoutMirror::start(original, kMirrorCapacity);
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
    writeAll(fd::kStdout, kSyncMarker);
  }
  std::unique_lock lock(c->mutex);
  c->syncRead.wait(lock, [&] { return c->syncsRead >= ticket || c->readerEnded; });
}

void runtime_testing::stdioClear() {
  // Lines printed before the call may still be in the pipe; they go too.
  stdioSync();
  Capture* c = capture.load();
  if (!c) return;
  std::lock_guard lock(c->mutex);
  c->lines.clear();
}
