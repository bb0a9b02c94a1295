// Control ids of the front panel, shared with the panel file "Quarlex_ui.uir", and the
// tables that map an axis index (0 = X, 1 = Y, 2 = Z) to that axis's indicators.
#pragma once

#include "panel_controls.h"

#define QUARLEX_CONTROL_ID(name, id, ...) name = id,

enum {
  PANEL = 1,  // resource id of the front panel in the panel file

  QUARLEX_PANEL_CONTROLS(QUARLEX_CONTROL_ID, QUARLEX_CONTROL_ID)

  // LED grid: PANEL_LED_<axis>_j shows status bit j (j = 0..11), bit 29 (j = 12), bit 31 (j = 13).
  PANEL_LED_Z_13 = 21, PANEL_LED_Z_12, PANEL_LED_Z_11, PANEL_LED_Z_10, PANEL_LED_Z_9,
  PANEL_LED_Z_8, PANEL_LED_Z_7, PANEL_LED_Z_6, PANEL_LED_Z_5, PANEL_LED_Z_4, PANEL_LED_Z_3,
  PANEL_LED_Z_2, PANEL_LED_Z_1, PANEL_LED_Z_0,
  PANEL_LED_Y_13 = 35, PANEL_LED_Y_12, PANEL_LED_Y_11, PANEL_LED_Y_10, PANEL_LED_Y_9,
  PANEL_LED_Y_8, PANEL_LED_Y_7, PANEL_LED_Y_6, PANEL_LED_Y_5, PANEL_LED_Y_4, PANEL_LED_Y_3,
  PANEL_LED_Y_2, PANEL_LED_Y_1, PANEL_LED_Y_0,
  PANEL_LED_X_13 = 49, PANEL_LED_X_12, PANEL_LED_X_11, PANEL_LED_X_10, PANEL_LED_X_9,
  PANEL_LED_X_8, PANEL_LED_X_7, PANEL_LED_X_6, PANEL_LED_X_5, PANEL_LED_X_4, PANEL_LED_X_3,
  PANEL_LED_X_2, PANEL_LED_X_1, PANEL_LED_X_0,

  // The two timers.
  PANEL_LTSTIMER = 87,
  PANEL_REFRESH = 88,  // control id the refresh requests carry
};

#undef QUARLEX_CONTROL_ID


// Plain labels of the panel, named by their object name in the panel file.
inline constexpr char kTimeoutsLabel[] = "scanTimeouts";  // "N points timed out", or empty
inline constexpr char kOutcomeLabel[] = "scanOutcome";    // how the last scan ended
inline constexpr char kRecordLabel[] = "recordPath";      // the current or last record file
inline constexpr char kEstimateLabel[] = "scanEstimate";  // points and estimated duration of the typed grid
inline constexpr char kScanTimeLabel[] = "scanTime";      // points done, elapsed and remaining time
inline constexpr char kJogStepLabel[] = "jogStepLabel";   // the jog step in use
inline constexpr char kLimitsLabel[] = "limitsLabel";     // the soft limits of the three axes

// The front panel's handle, set once at start-up before any callback or worker uses it.
extern int p1_h;

// Status-word indicator, position indicator and LED row of each axis.
extern const int dstat[3];
extern const int dpos[3];
extern const int lid[3][14];
