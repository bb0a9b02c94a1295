#include "bookmarks.h"

#include <cstdio>
#include <string>
#include <vector>

#include "dispatch.h"
#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "setting_text.h"

namespace {

constexpr char kBookmarksKey[] = "bookmarks/positions";
// A short list an operator can scan by eye.
constexpr std::size_t kMaxBookmarks = 100;

struct Bookmark {
  std::string name;
  double mm[3];
};

// The list's rows, in the order shown.
std::vector<Bookmark> bookmarks;

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

// One line per position: name, x, y and z separated by tabs (names hold no control characters).
std::string encode() {
  std::string text;
  for (const Bookmark& b : bookmarks) {
    if (!text.empty()) text += '\n';
    text += b.name;
    for (double mm : b.mm) text += '\t' + SettingNumber(mm);
  }
  return text;
}

bool decode(const std::string& line, Bookmark* b) {
  const std::vector<std::string> fields = split(line, '\t');
  if (fields.size() != 4 || fields[0].empty()) return false;
  b->name = fields[0];
  for (int axis = 0; axis < 3; axis++) {
    if (!ParseSettingNumber(fields[static_cast<std::size_t>(axis) + 1], &b->mm[axis])) return false;
  }
  return true;
}

std::string positionText(const Bookmark& b) {
  char text[128];
  snprintf(text, sizeof text, "X %.3f  Y %.3f  Z %.3f mm", b.mm[0], b.mm[1], b.mm[2]);
  return text;
}

std::string rowText(const Bookmark& b) { return b.name + "   " + positionText(b); }

void save() { SetSetting(kBookmarksKey, encode().c_str()); }

// The typed name with control characters made spaces and outer spaces trimmed; a name of the
// form P<n> not yet in the list when none is typed.
std::string typedName() {
  char typed[256];
  GetCtrlString(p1_h, PANEL_BOOKMARK_NAME, typed, sizeof typed);
  std::string name = typed;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) name.clear();
  else name = name.substr(first, name.find_last_not_of(' ') - first + 1);
  for (int n = 1; name.empty(); n++) {
    const std::string candidate = "P" + std::to_string(n);
    bool taken = false;
    for (const Bookmark& b : bookmarks) taken = taken || b.name == candidate;
    if (!taken) name = candidate;
  }
  return name;
}

// The selected row, or -1 after a line that says so.
int selected(const char* action) {
  int row = -1;
  GetCtrlIndex(p1_h, PANEL_BOOKMARK_LIST, &row);
  if (row < 0 || static_cast<std::size_t>(row) >= bookmarks.size()) {
    printf("%s: no position selected\n", action);
    return -1;
  }
  return row;
}

}  // namespace

void RestoreBookmarks(void) {
  bookmarks.clear();
  ClearListCtrl(p1_h, PANEL_BOOKMARK_LIST);
  std::string text;
  if (!ReadSetting(kBookmarksKey, &text) || text.empty()) return;
  int unusable = 0;
  for (const std::string& line : split(text, '\n')) {
    Bookmark b;
    if (bookmarks.size() >= kMaxBookmarks || !decode(line, &b)) {
      unusable++;
      continue;
    }
    bookmarks.push_back(b);
    InsertListItem(p1_h, PANEL_BOOKMARK_LIST, -1, rowText(b).c_str());
  }
  if (unusable > 0) {
    printf("Settings: %d kept position%s unreadable and left out\n", unusable,
           unusable == 1 ? " is" : "s are");
  }
}

void BookmarkMark(void) {
  Bookmark b{typedName(), {}};
  for (int axis = 0; axis < 3; axis++) b.mm[axis] = LTS_GetPosition(axis);
  for (std::size_t row = 0; row < bookmarks.size(); row++) {
    if (bookmarks[row].name != b.name) continue;
    bookmarks[row] = b;
    DeleteListItem(p1_h, PANEL_BOOKMARK_LIST, static_cast<int>(row));
    InsertListItem(p1_h, PANEL_BOOKMARK_LIST, static_cast<int>(row), rowText(b).c_str());
    SetCtrlIndex(p1_h, PANEL_BOOKMARK_LIST, static_cast<int>(row));
    printf("Position \"%s\" replaced: %s\n", b.name.c_str(), positionText(b).c_str());
    save();
    return;
  }
  if (bookmarks.size() >= kMaxBookmarks) {
    printf("Mark: the list is full (%zu positions); delete one first\n", kMaxBookmarks);
    return;
  }
  bookmarks.push_back(b);
  InsertListItem(p1_h, PANEL_BOOKMARK_LIST, -1, rowText(b).c_str());
  SetCtrlIndex(p1_h, PANEL_BOOKMARK_LIST, static_cast<int>(bookmarks.size() - 1));
  printf("Position \"%s\" kept: %s\n", b.name.c_str(), positionText(b).c_str());
  save();
}

void BookmarkGoTo(void) {
  const int row = selected("Go to");
  if (row < 0) return;
  const Bookmark& b = bookmarks[static_cast<std::size_t>(row)];
  printf("Going to position \"%s\": %s\n", b.name.c_str(), positionText(b).c_str());
  for (int axis = 0; axis < 3; axis++) GoToChecked(axis, b.mm[axis]);
}

void BookmarkDelete(void) {
  const int row = selected("Delete");
  if (row < 0) return;
  printf("Position \"%s\" deleted\n", bookmarks[static_cast<std::size_t>(row)].name.c_str());
  bookmarks.erase(bookmarks.begin() + row);
  DeleteListItem(p1_h, PANEL_BOOKMARK_LIST, row);
  save();
}
