// Corpora of test files, each file named in a table of expected outcomes.
#pragma once

#include <map>
#include <string>

namespace test_support {

// Expects the regular files of `directory` to be exactly the table's keys: a file without an
// entry, or an entry without its file, fails (with its name).
void ExpectCorpusMatchesTable(const std::string& directory,
                              const std::map<std::string, std::string>& table);

}  // namespace test_support
