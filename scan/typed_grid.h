// What the scan block shows of the typed grid between scans: its estimate and its map.
#pragma once

// Main thread, on each refresh: reads the typed grid and the shown positions once (the inputs
// raise no event when typed into) and brings the estimate and the map up to date; while a scan
// runs the map keeps the scan's grid.
void ShowTypedGrid(void);
