// Control ids of the front panel, shared with the panel file "Quarlex_ui.uir", and the
// tables that map an axis index (0 = X, 1 = Y, 2 = Z) to that axis's indicators.
#pragma once

enum {
  PANEL = 1,  // resource id of the front panel in the panel file

  PANEL_QUIT = 2,
  PANEL_DISABLE_Z = 3,
  PANEL_ENABLE_Z = 4,
  PANEL_DISABLE_Y = 5,
  PANEL_ENABLE_Y = 6,
  PANEL_STOP_Z = 7,
  PANEL_STOP_Y = 8,
  PANEL_STOP_X = 9,
  PANEL_DISABLE_X = 10,
  PANEL_ENABLE_X = 11,
  PANEL_HOME_Z = 12,
  PANEL_HOME_Y = 13,
  PANEL_HOME_X = 14,
  PANEL_RST_1 = 15,
  PANEL_RST_2 = 16,
  PANEL_RST_3 = 17,
  PANEL_STATUS_Z = 18,
  PANEL_STATUS_Y = 19,
  PANEL_STATUS_X = 20,

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

  PANEL_JOG_Z_PLUS = 63,
  PANEL_JOG_Y_MINUS = 64,
  PANEL_JOG_Z_MINUS = 65,
  PANEL_JOG_X_PLUS = 66,
  PANEL_JOG_Y_PLUS = 67,
  PANEL_JOG_X_MINUS = 68,
  PANEL_TARGET_X = 69,
  PANEL_TARGET_Z = 70,
  PANEL_POS_Z = 71,
  PANEL_TARGET_Y = 72,
  PANEL_POS_X = 73,
  PANEL_POS_Y = 74,
  PANEL_GOTO_Z = 75,
  PANEL_GOTO_Y = 76,
  PANEL_GOTO_X = 77,
  PANEL_GOTO_ALL = 78,
  PANEL_SCANLED = 79,
  PANEL_MOVELED = 80,
  PANEL_COMLED = 81,
  PANEL_LTSTIMER = 87,
  PANEL_REFRESH = 88,  // control id the refresh requests carry
  PANEL_SCAN_STOP = 90,
  PANEL_SCAN_START = 91,
  PANEL_IZ = 92,
  PANEL_IY = 93,
  PANEL_IX = 94,
  PANEL_NZ = 95,
  PANEL_NY = 96,
  PANEL_NX = 97,
  PANEL_Z0 = 98,
  PANEL_Y0 = 99,
  PANEL_X0 = 100,
  PANEL_DZ = 101,
  PANEL_DY = 102,
  PANEL_DX = 103,
  PANEL_CBZ = 104,
  PANEL_CBY = 105,
  PANEL_CBX = 106,
  PANEL_PROGRESS = 108,
  PANEL_RECORD_FOLDER = 109,

  // Scan options: visit order and return to the start afterwards.
  PANEL_SERPENTINE = 113,
  PANEL_RETURN_TO_START = 114,
  // Position bookmarks: the name field, the list, and its Mark, Go to and Delete buttons.
  PANEL_BOOKMARK_NAME = 150, PANEL_BOOKMARK_LIST, PANEL_BOOKMARK_MARK, PANEL_BOOKMARK_GOTO,
  PANEL_BOOKMARK_DELETE,
  // The live map of the scan's current plane, right of the scan block.
  PANEL_SCAN_MAP = 120,
  // Abort: ends a running scan at once and stops every stage.
  PANEL_SCAN_ABORT = 110,
  // Manual operation: jog step selectors, the soft-limits dialog, a stop of all three axes.
  PANEL_JOG_STEP_0_01 = 130, PANEL_JOG_STEP_0_1 = 131, PANEL_JOG_STEP_1 = 132,
  PANEL_JOG_STEP_10 = 133, PANEL_LIMITS = 134, PANEL_STOP_ALL = 135,
};

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
