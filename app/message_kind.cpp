#include "message_kind.h"

#include <cctype>
#include <string>

#include "gui_runtime.h"

namespace {

std::string lowered(const char* line) {
  std::string text(line ? line : "");
  for (char& ch : text) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

bool contains(const std::string& text, const char* word) { return text.find(word) != std::string::npos; }

// A connection line ends in "err=<hex>": anything but 0 is a failed connection.
bool failedConnection(const std::string& text) {
  const std::size_t at = text.rfind(" err=");
  return at != std::string::npos && text.substr(at) != " err=0";
}

// "N points timed out" with N = 0 tells of no time-out.
bool timedOut(const std::string& text) {
  for (std::size_t at = text.find("timed out"); at != std::string::npos; at = text.find("timed out", at + 1)) {
    const std::size_t zero = text.rfind(" 0 point", at);
    const bool noneTimedOut = zero != std::string::npos && text.compare(zero, at - zero, " 0 points ") == 0;
    if (!noneTimedOut) return true;
  }
  return contains(text, "timeout");
}

}  // namespace

int MessageKind(const char* line) {
  const std::string text = lowered(line);
  for (const char* word : {"refused", "error", "failed", "could not", "cannot", "aborted", "not started"}) {
    if (contains(text, word)) return LOG_FAULT;
  }
  if (failedConnection(text)) return LOG_FAULT;
  if (timedOut(text) || contains(text, "not yet implemented")) return LOG_NOTICE;
  return LOG_PLAIN;
}
