// What the event loop does with an operator's event while a scan runs, and the panel that
// says so: every control whose events a running scan drops looks dimmed until the scan ends.
#pragma once

enum ScanEventEffect {
  SCAN_EVENT_DROPPED = 0,  // ignored, and not kept for later
  SCAN_EVENT_STOPS = 1,    // ends the scan after the point under way
  SCAN_EVENT_ABORTS = 2,   // ends the scan at once and stops every stage
};

// The effect an event of `control` has while a scan runs.
ScanEventEffect ScanEffectOf(int control);

// Dims every command button of the panel whose events a running scan drops, keeping how
// each was; buttons added to the panel file are covered without a list here.
void DimDroppedControls(void);
// Gives each control dimmed by DimDroppedControls back the state it had before.
void RestoreDroppedControls(void);
