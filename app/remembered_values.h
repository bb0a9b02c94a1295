// The scan grid and the typed targets, kept in the settings file between runs.
#pragma once

// Start-up: shows the values the last run left. A value that cannot be read back is left at
// the panel's own and reported, with the others, in one line.
void RestoreTypedValues(void);
// Keeps the grid when `control` starts a scan and the targets when it is a go-to button.
void RememberOnUse(int control);
// Keeps the grid and the targets as they are typed now.
void RememberTypedValues(void);
