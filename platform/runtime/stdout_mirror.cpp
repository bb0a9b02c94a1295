#include "stdout_mirror.h"

#include <thread>

#include "platform_clock.h"
#include "stdio_fd.h"

namespace runtime_impl {
namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const long n = stdio_fd::writeSome(fd, bytes.data(), bytes.size());
    if (n <= 0) return false;
    bytes.remove_prefix(std::size_t(n));
  }
  return true;
}

}  // namespace

std::shared_ptr<StdoutMirror> StdoutMirror::start(int fd, std::size_t capacity) {
  auto mirror = std::make_shared<StdoutMirror>(fd, capacity);
  std::thread([mirror] { mirror->run(); }).detach();
  return mirror;
}

void StdoutMirror::offer(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (failed_) return;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view piece = text.substr(0, newline == std::string_view::npos ? text.size() : newline + 1);
    text.remove_prefix(piece.size());
    if (atLineStart_) {
      // Once one line is dropped, all are until the writer has caught up and reported them.
      dropLine_ = dropped_ > 0 || queuedBytes_ >= capacity_;
      if (dropLine_) ++dropped_;
    }
    atLineStart_ = piece.back() == '\n';
    if (dropLine_) continue;
    queue_.emplace_back(piece);
    queuedBytes_ += piece.size();
  }
  changed_.notify_all();
}

void StdoutMirror::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !queue_.empty() || dropped_ > 0 || finishing_; });
    std::string text;
    if (!queue_.empty()) {
      text = std::move(queue_.front());
      queue_.pop_front();
      queuedBytes_ -= text.size();
    } else if (dropped_ > 0) {
      // Caught up: a line dropped while under way was counted whole and is not resumed.
      text = "Quarlex: " + std::to_string(dropped_) +
             " lines dropped here; standard output was not read fast enough\n";
      dropped_ = 0;
    } else {
      return;  // finishing, and everything is written
    }
    writing_ = true;
    lock.unlock();
    const bool written = writeAll(fd_, text);
    lock.lock();
    writing_ = false;
    ++writes_;
    if (!written) {
      // The reader has gone for good: nothing can be written from now on.
      failed_ = true;
      queue_.clear();
      queuedBytes_ = 0;
      dropped_ = 0;
    }
    changed_.notify_all();
    if (failed_) return;
  }
}

bool StdoutMirror::drain(double stallSeconds) {
  std::unique_lock lock(mutex_);
  while (!failed_ && !caughtUp()) {
    const std::uint64_t before = writes_;
    if (!changed_.wait_for(lock, platform_clock::realDuration(stallSeconds),
                           [&] { return writes_ != before || failed_ || caughtUp(); })) {
      return false;
    }
  }
  return !failed_;
}

void StdoutMirror::finish() {
  std::lock_guard lock(mutex_);
  finishing_ = true;
  changed_.notify_all();
}

}  // namespace runtime_impl
