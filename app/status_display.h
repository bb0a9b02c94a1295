// The position, status-word and status-LED display of the three axes.
#pragma once

// Shows axis `nid`'s status word, its 14 LEDs and its state in words.
void LTS_SetStatus(int nid);
// Shows every axis's position and status, X then Y then Z: the refresh the event loop runs
// for a refresh request and the scan runs after every point.
void RefreshDisplay(void);
// Callback of the refresh timer: asks the event loop for a refresh on every tick while no
// scan runs and no request it queued still waits.
int TimerCB(int panel, int control, int event, void* callbackData, int eventData1,
            int eventData2);
