#include "corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace test_support {

void ExpectCorpusMatchesTable(const std::string& directory,
                              const std::map<std::string, std::string>& table) {
  std::set<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    if (entry.is_regular_file()) files.insert(entry.path().filename().string());
  }
  for (const std::string& name : files) {
    EXPECT_TRUE(table.contains(name)) << name << " has no expected outcome in the test's table";
  }
  for (const auto& [name, outcome] : table) {
    EXPECT_TRUE(files.contains(name)) << name << " is in the table but not in " << directory;
  }
}

}  // namespace test_support
