// The event loop's dispatch: one row per control id; an id without a row does nothing.
#pragma once

void DispatchEvent(int evcontrl);

// Moves `axis` to `mm` without waiting, unless `mm` lies outside the axis's soft limits:
// then one printed line says so and nothing is sent.
void GoToChecked(int axis, double mm);
