// The front panel's controls, one row each: the one source of their id constants
// (panel_ids.h) and of the start-up check that the panel file holds each of them with the
// kind and data type the program needs (panel_check.cpp). A new control is one row here and
// its widget, with that ctrlId, in the panel file; tests/app/panel_table_test.cpp holds the
// panel file and this table to each other.
//   BUTTON(name, id, role): a command button
//   CONTROL(name, id, role, kind, data type, another kind that serves as well or 0)
// The status LEDs (a grid, see lid) and the two timers are listed in panel_ids.h.
#pragma once

// clang-format off
#define QUARLEX_PANEL_CONTROLS(BUTTON, CONTROL) \
  BUTTON(PANEL_QUIT, 2, "QUIT button")                                                                       \
  BUTTON(PANEL_DISABLE_Z, 3, "Z disable button")                                                             \
  BUTTON(PANEL_ENABLE_Z, 4, "Z enable button")                                                               \
  BUTTON(PANEL_DISABLE_Y, 5, "Y disable button")                                                             \
  BUTTON(PANEL_ENABLE_Y, 6, "Y enable button")                                                               \
  BUTTON(PANEL_STOP_Z, 7, "Z stop button")                                                                   \
  BUTTON(PANEL_STOP_Y, 8, "Y stop button")                                                                   \
  BUTTON(PANEL_STOP_X, 9, "X stop button")                                                                   \
  BUTTON(PANEL_DISABLE_X, 10, "X disable button")                                                            \
  BUTTON(PANEL_ENABLE_X, 11, "X enable button")                                                              \
  BUTTON(PANEL_HOME_Z, 12, "Z home button")                                                                  \
  BUTTON(PANEL_HOME_Y, 13, "Y home button")                                                                  \
  BUTTON(PANEL_HOME_X, 14, "X home button")                                                                  \
  BUTTON(PANEL_RST_1, 15, "RST 1 button")                                                                    \
  BUTTON(PANEL_RST_2, 16, "RST 2 button")                                                                    \
  BUTTON(PANEL_RST_3, 17, "RST 3 button")                                                                    \
  CONTROL(PANEL_STATUS_Z, 18, "Z status word", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                  \
  CONTROL(PANEL_STATUS_Y, 19, "Y status word", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                  \
  CONTROL(PANEL_STATUS_X, 20, "X status word", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                  \
  BUTTON(PANEL_JOG_Z_PLUS, 63, "Z jog + button")                                                             \
  BUTTON(PANEL_JOG_Y_MINUS, 64, "Y jog - button")                                                            \
  BUTTON(PANEL_JOG_Z_MINUS, 65, "Z jog - button")                                                            \
  BUTTON(PANEL_JOG_X_PLUS, 66, "X jog + button")                                                             \
  BUTTON(PANEL_JOG_Y_PLUS, 67, "Y jog + button")                                                             \
  BUTTON(PANEL_JOG_X_MINUS, 68, "X jog - button")                                                            \
  CONTROL(PANEL_TARGET_X, 69, "X target", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                            \
  CONTROL(PANEL_TARGET_Z, 70, "Z target", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                            \
  CONTROL(PANEL_POS_Z, 71, "Z position", CTRL_KIND_NUMERIC_INDICATOR, VAL_DOUBLE, 0)                         \
  CONTROL(PANEL_TARGET_Y, 72, "Y target", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                            \
  CONTROL(PANEL_POS_X, 73, "X position", CTRL_KIND_NUMERIC_INDICATOR, VAL_DOUBLE, 0)                         \
  CONTROL(PANEL_POS_Y, 74, "Y position", CTRL_KIND_NUMERIC_INDICATOR, VAL_DOUBLE, 0)                         \
  BUTTON(PANEL_GOTO_Z, 75, "Z go-to button")                                                                 \
  BUTTON(PANEL_GOTO_Y, 76, "Y go-to button")                                                                 \
  BUTTON(PANEL_GOTO_X, 77, "X go-to button")                                                                 \
  BUTTON(PANEL_GOTO_ALL, 78, "go-to-all button")                                                             \
  CONTROL(PANEL_SCANLED, 79, "scan LED", CTRL_KIND_LED, VAL_INTEGER, 0)                                      \
  CONTROL(PANEL_MOVELED, 80, "move LED", CTRL_KIND_LED, VAL_INTEGER, 0)                                      \
  CONTROL(PANEL_COMLED, 81, "connect LED", CTRL_KIND_LED, VAL_INTEGER, 0)                                    \
  BUTTON(PANEL_SCAN_STOP, 90, "scan stop button")                                                            \
  BUTTON(PANEL_SCAN_START, 91, "scan start button")                                                          \
  CONTROL(PANEL_IZ, 92, "z index", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                              \
  CONTROL(PANEL_IY, 93, "y index", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                              \
  CONTROL(PANEL_IX, 94, "x index", CTRL_KIND_NUMERIC_INDICATOR, VAL_INTEGER, 0)                              \
  CONTROL(PANEL_NZ, 95, "z count", CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER, 0)                                  \
  CONTROL(PANEL_NY, 96, "y count", CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER, 0)                                  \
  CONTROL(PANEL_NX, 97, "x count", CTRL_KIND_NUMERIC_INPUT, VAL_INTEGER, 0)                                  \
  CONTROL(PANEL_Z0, 98, "z start", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                   \
  CONTROL(PANEL_Y0, 99, "y start", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                   \
  CONTROL(PANEL_X0, 100, "x start", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                  \
  CONTROL(PANEL_DZ, 101, "z step", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                   \
  CONTROL(PANEL_DY, 102, "y step", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                   \
  CONTROL(PANEL_DX, 103, "x step", CTRL_KIND_NUMERIC_INPUT, VAL_DOUBLE, 0)                                   \
  CONTROL(PANEL_CBZ, 104, "z check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0)                                \
  CONTROL(PANEL_CBY, 105, "y check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0)                                \
  CONTROL(PANEL_CBX, 106, "x check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0)                                \
  CONTROL(PANEL_PROGRESS, 108, "scan progress", CTRL_KIND_PROGRESS, VAL_DOUBLE, CTRL_KIND_NUMERIC_INDICATOR) \
  BUTTON(PANEL_RECORD_FOLDER, 109, "record folder button")                                                   \
  CONTROL(PANEL_SERPENTINE, 113, "serpentine check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0)                \
  CONTROL(PANEL_RETURN_TO_START, 114, "return-to-start check box", CTRL_KIND_CHECK_BOX, VAL_INTEGER, 0)      \
  CONTROL(PANEL_BOOKMARK_NAME, 150, "position name", CTRL_KIND_TEXT_INPUT, VAL_STRING, 0)                    \
  CONTROL(PANEL_BOOKMARK_LIST, 151, "position list", CTRL_KIND_LIST, VAL_STRING, 0)                          \
  BUTTON(PANEL_BOOKMARK_MARK, 152, "mark button")                                                            \
  BUTTON(PANEL_BOOKMARK_GOTO, 153, "position go-to button")                                                  \
  BUTTON(PANEL_BOOKMARK_DELETE, 154, "position delete button")                                               \
  CONTROL(PANEL_SCAN_MAP, 120, "scan map", CTRL_KIND_SCAN_MAP, VAL_NO_TYPE, 0)                               \
  BUTTON(PANEL_SCAN_ABORT, 110, "scan abort button")                                                         \
  BUTTON(PANEL_JOG_STEP_0_01, 130, "jog step 0.01 mm button")                                                \
  BUTTON(PANEL_JOG_STEP_0_1, 131, "jog step 0.1 mm button")                                                  \
  BUTTON(PANEL_JOG_STEP_1, 132, "jog step 1 mm button")                                                      \
  BUTTON(PANEL_JOG_STEP_10, 133, "jog step 10 mm button")                                                    \
  BUTTON(PANEL_LIMITS, 134, "soft limits button")                                                            \
  BUTTON(PANEL_STOP_ALL, 135, "stop-all button")
// clang-format on
