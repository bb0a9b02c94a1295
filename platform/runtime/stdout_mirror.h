// Copies what the process prints to its real stdout on a thread of its own, so that a reader
// who is slow, gone or never reads holds up nobody. At most `capacity` bytes wait; beyond
// that whole lines are dropped until the writer has caught up, and it then writes one line
// saying how many were dropped.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace runtime_impl {

class StdoutMirror {
 public:
  // Starts the writer on `fd`, which the mirror does not own. The writer keeps the mirror
  // alive until finish() lets it end.
  static std::shared_ptr<StdoutMirror> start(int fd, std::size_t capacity);

  // Any thread; never blocks on the descriptor. Text in order, whole lines or pieces.
  void offer(std::string_view text);
  // Waits until everything offered has been written and true, or false once the writer
  // fails or makes no progress for `stallSeconds` of clock time.
  bool drain(double stallSeconds);
  // The writer ends once it has written what waits, or at once when the descriptor fails.
  void finish();

  StdoutMirror(int fd, std::size_t capacity) : fd_(fd), capacity_(capacity) {}

 private:
  void run();
  bool caughtUp() const { return queue_.empty() && !writing_ && dropped_ == 0; }

  const int fd_;
  const std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;
  std::size_t queuedBytes_ = 0;
  std::uint64_t dropped_ = 0;  // lines dropped since the last report of them
  std::uint64_t writes_ = 0;   // progress, for drain()
  bool writing_ = false;
  bool failed_ = false;
  bool finishing_ = false;
  bool atLineStart_ = true;  // offer() side: the next text starts a line
  bool dropLine_ = false;    // offer() side: the line under way is dropped
};

}  // namespace runtime_impl
