// The stage access layer: every operation addresses one stage by its axis index
// (0 = X, 1 = Y, 2 = Z), converts millimetres to device units and calls the motion library.
#pragma once

#include <atomic>

// Serial number of each axis's stage: 8 digits and the terminating NUL.
extern const char serialNumbers[3][9];
// The axis's letter: 'X', 'Y' or 'Z'.
inline char AxisName(int axis) { return "XYZ"[axis]; }
// Device units per millimetre of travel, the same for all three stages.
extern const int StepsPerMm;
// The jog step in millimetres.
extern const double SingleMove;
// 1 once the watchdog has ticked since it was last armed. Shared with the main thread.
extern std::atomic<int> LTSTimerOut;

// Connection.
int LTS_Open(void);
// When set, LTS_Open calls `report` before it connects each stage, with the stage's axis
// index and the number of stages.
void SetConnectionProgress(void (*report)(int axis, int count));
int LTS_Init(int i);
void LTS_Close(int i);
void LTS_RegisterMessageCallback(int i, void (*functionPointer)(void));
void MessageCB(void);

// Commands and queries.
int LTS_Enable(int i);
int LTS_Disable(int i);
void LTS_StopProfiled(int i);
unsigned int LTS_GetStatus(int i);
double LTS_GetPosition(int i);
int LTS_GetNumberPositions(int i);
void LTS_GetRealValueFromDeviceUnit(int i, int device_unit, double* real_unit, int unitType);
void LTS_GetDeviceUnitFromRealValue(int i, double real_unit, int* device_unit, int unitType);

// Watchdog and completion waits. A wait must run off the main thread: the watchdog's tick
// is delivered on the main thread while it processes events.
void LTS_Tmlnk(int tout);
void LTS_Tmulk(void);
int LTS_Timeout(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
void LTS_waitHome(int i, int tout);
void LTS_waitMove(int i, int tout);
// 1 when the last completion wait ended on the watchdog, 0 when on its message.
int LTS_LastWaitTimedOut(void);
// From any thread: the wait under way, and every wait started until LTS_ClearAbort, ends at
// its next check without reading further messages and without the time-out line.
void LTS_AbortWait(void);
void LTS_ClearAbort(void);

// Homing and moves. A nonzero `wait` also waits for the completion message, with `wait`
// milliseconds as the watchdog's time-out.
void LTS_Home(int i, int wait);
void LTS_MoveAbsolute(int i, double position, int wait);
void LTS_MoveRelative(int i, double distance, int wait);
