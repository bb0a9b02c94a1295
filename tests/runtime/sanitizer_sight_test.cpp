// The ThreadSanitizer suppressions hide races inside Qt's own libraries, not ours: a widget
// touched from one of the program's pool threads, unordered with the main thread, is still
// reported with the project's suppression file in force.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TEST(SanitizerSight, AWidgetTouchedFromAPoolThreadIsReportedDespiteTheSuppressions) {
#ifndef __SANITIZE_THREAD__
  GTEST_SKIP() << "only a ThreadSanitizer build can see the race";
#else
  const std::string command = std::string("QT_QPA_PLATFORM=offscreen TSAN_OPTIONS='halt_on_error=0 exitcode=66 suppressions=") +
                              QUARLEX_TSAN_SUPPRESSIONS + "' '" + QUARLEX_WIDGET_RACE_CHILD + "' 2>&1";
  FILE* child = popen(command.c_str(), "r");
  ASSERT_NE(child, nullptr);
  std::string output;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, child)) output += buffer;
  const int status = pclose(child);
  EXPECT_NE(output.find("WARNING: ThreadSanitizer: data race"), std::string::npos) << output;
  EXPECT_NE(output.find("libQt6Widgets"), std::string::npos) << output;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 66) << output;
#endif
}

}  // namespace
