// Position bookmarks: named X, Y, Z positions in the panel's list, kept in the settings file.
#pragma once

// Start-up: fills the list from the settings file. Entries that cannot be read back are left
// out and reported in one line.
void RestoreBookmarks(void);
// Dispatch rows. Mark keeps the read-back positions under the typed name (replacing a position
// of that name); Go to moves the three axes to the selected position; Delete removes it.
void BookmarkMark(void);
void BookmarkGoTo(void);
void BookmarkDelete(void);
