// The copy of printed text to the real stdout: a reader that cannot keep up costs whole
// lines, counted in one line once the copy has caught up; a reader that has gone costs
// nothing but the copy.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "stdio_fd.h"
#include "stdout_mirror.h"

namespace {

using runtime_impl::StdoutMirror;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(StdoutMirrorTest, AReaderThatCannotKeepUpLosesWholeLinesReportedInOneLine) {
  int fds[2];
  const std::size_t prefill = child_process::fullPipe(fds);
  ASSERT_GT(prefill, 0u);
  const std::shared_ptr<StdoutMirror> mirror = StdoutMirror::start(fds[1], 4096);
  constexpr int kLines = 2000;
  // Nothing can be written meanwhile; every offer must return all the same. Each line comes
  // in two pieces, as printf may hand them over.
  for (int i = 0; i < kLines; i++) {
    mirror->offer("line ");
    mirror->offer(std::to_string(i) + "\n");
  }
  std::string out;
  std::thread reader([&] { EXPECT_TRUE(child_process::readToEnd(fds[0], &out)); });
  EXPECT_TRUE(mirror->drain(60.0));
  mirror->offer("caught up\n");  // lines pass again, after the report
  EXPECT_TRUE(mirror->drain(60.0));
  mirror->finish();
  close(fds[1]);
  reader.join();
  close(fds[0]);

  ASSERT_GE(out.size(), prefill);
  EXPECT_EQ(out.substr(0, prefill), std::string(prefill, 'f'));
  const std::vector<std::string> lines = splitLines(out.substr(prefill));
  // The first lines, whole and in order, then the report, then the line offered after it.
  std::size_t kept = 0;
  while (kept < lines.size() && lines[kept] == "line " + std::to_string(kept)) kept++;
  ASSERT_GT(kept, 0u);
  ASSERT_EQ(lines.size(), kept + 2) << out.substr(prefill);
  EXPECT_LT(kept, std::size_t(kLines)) << "some lines must have been dropped";
  EXPECT_EQ(lines[kept], "Quarlex: " + std::to_string(kLines - kept) +
                             " lines dropped here; standard output was not read fast enough");
  EXPECT_EQ(lines[kept + 1], "caught up");
}

TEST(StdoutMirrorTest, AReaderThatHasGoneEndsTheCopyButNotTheProcess) {
  runtime_impl::stdio_fd::ignoreBrokenPipe();
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);
  const std::shared_ptr<StdoutMirror> mirror = StdoutMirror::start(fds[1], 4096);
  for (int i = 0; i < 100; i++) mirror->offer("line " + std::to_string(i) + "\n");
  EXPECT_FALSE(mirror->drain(60.0)) << "nothing can be written";
  mirror->offer("after\n");  // returns at once, as every offer does
  EXPECT_FALSE(mirror->drain(60.0));
  mirror->finish();
  close(fds[1]);
}

}  // namespace
