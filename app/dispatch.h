// The event loop's dispatch: one row per control id; an id without a row does nothing.
#pragma once

void DispatchEvent(int evcontrl);

// Moves axis `axis` to `mm` without waiting.
void GoToChecked(int axis, double mm);
