// Checks the lines that numbered printers produced: "<letter> <n>" for n = 0.. per letter.
#pragma once

#include <map>
#include <string>
#include <vector>

// Empty when every printer's lines are all there, each printer's in order (other lines are
// ignored); else what is wrong.
inline std::string checkNumberedLines(const std::vector<std::string>& lines, const std::string& letters,
                                      int perLetter) {
  std::map<char, int> next;
  for (const std::string& line : lines) {
    if (line.size() < 3 || line[1] != ' ' || letters.find(line[0]) == std::string::npos) continue;
    int& expected = next[line[0]];
    if (line.substr(2) != std::to_string(expected)) return "expected " + std::to_string(expected) + ", got \"" + line + "\"";
    ++expected;
  }
  for (const char letter : letters) {
    if (next[letter] != perLetter) {
      return std::string(1, letter) + ": " + std::to_string(next[letter]) + " of " + std::to_string(perLetter) + " lines";
    }
  }
  return "";
}
