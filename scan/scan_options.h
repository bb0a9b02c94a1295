// The scan's options beside the grid: the order of the x points and the return to the start.
#pragma once

struct ScanOptions {
  bool serpentine;     // odd rows run x backwards
  bool returnToStart;  // after the scan, unless aborted, the stages go back where they stood
};

// Reads the two check boxes from the panel.
ScanOptions ReadScanOptions(void);
// The stages' positions as the panel's position display shows them (mm, x, y, z).
void ReadDisplayedPositions(double position[3]);
