// One plain-language state of a stage, derived from its status word, shown beside its LEDs.
#pragma once

// "Disabled", "Homing", "Moving", "At forward limit", "At reverse limit", "Not homed",
// "Idle at home" or "Idle", the first that applies in that order. A homed stage resting on
// its reverse limit is at home, not at a limit.
const char* AxisStateText(unsigned int status);

// Names of the axes' state labels in the panel file, X, Y, Z.
extern const char* const kAxisStateLabel[3];
