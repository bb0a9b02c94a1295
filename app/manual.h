// Manual operation of the stages: jogs by the chosen step, the soft limits and their dialog,
// the keys that jog and stop.
#pragma once

// Main thread, once the panel is shown: reads the soft limits and the jog step from the
// settings, shows them on the panel and binds the keys.
void ManualControlsStart(void);
// Moves `axis` by the jog step, forward for direction +1 and back for -1, unless the target
// (the read-back position plus the step) lies outside the axis's soft limits.
void Jog(int axis, int direction);
// Chooses the jog step in mm (one of 0.01, 0.1, 1, 10) and remembers it.
void SetJogStep(double mm);
// Opens the soft-limits dialog and takes what the operator confirms, if valid.
void EditSoftLimits(void);
