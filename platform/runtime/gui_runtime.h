// The GUI run-time the program is written against: panels and their controls, user events,
// timer callbacks, a modal pop-up, the standard-I/O window, delays and a thread pool; plus
// the few Windows stand-ins the program's entry uses. Implemented on Qt 6 Widgets.
#pragma once

// ---- Windows stand-ins -------------------------------------------------------------------
// The instance handle carries the process's command line to the run-time's initialisation.
struct InstanceData {
  int argc;
  char** argv;
};
typedef InstanceData* HINSTANCE;
typedef char* LPSTR;

// Blocks the calling thread for `milliseconds` of platform-clock time, as Delay does.
void Sleep(unsigned long milliseconds);

// The program's entry point, defined by the program and called by the run-time's main.
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpszCmdLine, int nCmdShow);

// ---- Constants -----------------------------------------------------------------------------
enum {
  EVENT_COMMIT = 1,       // a command button was pressed
  EVENT_TIMER_TICK = 15,  // a timer control's interval elapsed
};

enum {
  ATTR_INTERVAL = 1270,  // timer interval, double seconds
  ATTR_ENABLED = 1271,   // timer running, int 0/1
  ATTR_CTRL_KIND = 2001, // int, one of CTRL_KIND_*; read-only
  ATTR_DATA_TYPE = 2002, // int, one of VAL_*; read-only
  ATTR_CALLBACK_FUNCTION = 2003,  // CtrlCallbackPtr the panel file names (null if none); read-only
};

// Panel attributes, read-only.
enum {
  ATTR_CLOSE_CTRL = 2101,  // int, the command button a request to close the window presses
};

enum {
  CTRL_KIND_COMMAND_BUTTON = 1,
  CTRL_KIND_NUMERIC_INPUT = 2,
  CTRL_KIND_NUMERIC_INDICATOR = 3,
  CTRL_KIND_CHECK_BOX = 4,
  CTRL_KIND_LED = 5,
  CTRL_KIND_PROGRESS = 6,
  CTRL_KIND_TIMER = 7,
};

enum { VAL_NO_TYPE = 0, VAL_INTEGER = 1, VAL_DOUBLE = 2 };

// Results: 0 or a handle on success, negative on failure.
enum {
  UIE_BAD_PANEL = -1,       // no such panel handle
  UIE_BAD_CONTROL = -2,     // no such control on the panel
  UIE_WRONG_TYPE = -3,      // value or attribute of the wrong data type
  UIE_BAD_ATTRIBUTE = -4,   // attribute the control does not have
  UIE_FILE_NOT_FOUND = -5,  // panel file missing or unreadable
  UIE_BAD_FILE = -6,        // panel file present but invalid
  UIE_NOT_INITIALISED = -7, // called before InitCVIRTEEx succeeded
  UIE_BAD_ARGUMENT = -8,
};

// ---- Callbacks -------------------------------------------------------------------------------
typedef int (*CtrlCallbackPtr)(int panel, int control, int event, void* callbackData,
                               int eventData1, int eventData2);

// Callbacks that a panel file may name, by function name. The program defines this table;
// it ends with an entry whose name is null.
struct PanelCallback {
  const char* name;
  CtrlCallbackPtr function;
};
extern const PanelCallback panelCallbackTable[];

// ---- Start-up --------------------------------------------------------------------------------
int SetSleepPolicy(int policy);  // accepted, no effect
// Port 0: everything the process prints to stdout is also shown, line by line, in the
// standard-I/O window. Safe before InitCVIRTEEx.
int SetStdioPort(int port);
// Creates the GUI application. 0 when no GUI can start (no display and no offscreen
// platform), 1 on success.
int InitCVIRTEEx(HINSTANCE hInstance, void* reserved1, void* reserved2);

// After InitCVIRTEEx: makes this process the one running instance of program `name` for this
// user, through a lock file in the runtime folder held until the process ends (a lock left by
// an instance that died is taken over). 1 when this is the one; 0, after one line on stderr
// naming the instance that holds the lock, when another runs (or the lock cannot be taken).
int LockSingleInstance(const char* name);

// ---- Panels and controls ---------------------------------------------------------------------
// Loads panel resource `resourceId` of a panel file, found next to the executable, then in
// the working directory. Negative on failure, with a message on stderr naming the file and
// the fault.
int LoadPanel(int parentPanel, const char* fileName, int resourceId);
int DiscardPanel(int panel);
int DisplayPanel(int panel);
int SetActiveCtrl(int panel, int control);

// Values, from any thread. A value of the wrong type is refused (UIE_WRONG_TYPE).
int GetCtrlVal(int panel, int control, int* value);
int GetCtrlVal(int panel, int control, double* value);
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, double value);

// Attributes, from any thread.
int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int GetCtrlAttribute(int panel, int control, int attribute, int* value);
int GetCtrlAttribute(int panel, int control, int attribute, double* value);
int GetCtrlAttribute(int panel, int control, int attribute, CtrlCallbackPtr* value);
int GetPanelAttribute(int panel, int attribute, int* value);

// ---- Events ----------------------------------------------------------------------------------
// Main thread only. waitMode 1: processes GUI events (timer callbacks included) until a user
// event is queued, then returns the oldest one's event number; waitMode 0: returns 0 at once
// when none is queued.
int GetUserEvent(int waitMode, int* panel, int* control);
// From any thread: queues a user event for `control` of `panel`.
int QueueUserEvent(int eventNumber, int panel, int control);
// From any thread: 1 while such an event waits in the queue (not yet taken), else 0.
int UserEventPending(int eventNumber, int panel, int control);
// The queue's bound: events the program queues are all kept (it is the program's to merge a
// repeated request, as the refresh timer does). Operator events (button presses, window-close
// requests) are bounded: while kMaxOperatorEvents of them wait, a further one is dropped,
// never silently: one line on stderr names its control. Nothing already queued is dropped,
// so a STOP pressed before the queue filled is still delivered.
enum { kMaxOperatorEvents = 256 };

// Modal message box; timer callbacks keep running while it is shown. Main thread only.
int MessagePopup(const char* title, const char* message);

// Blocks the calling thread for `seconds` of platform-clock time; it processes nothing, except
// on the GUI thread between showing a panel and the event loop's first GetUserEvent (the
// start-up, while the stages connect): there it keeps the windows painted and up to date
// (values, labels, printed lines) and runs nothing of the program (no timer callback, no task),
// shows the panel's inputs disabled and drops operator input to it.
void Delay(double seconds);

// ---- Termination requests ------------------------------------------------------------------
// Main thread, after InitCVIRTEEx. From now on a request to terminate (SIGTERM, SIGINT or
// SIGHUP; on Windows a console Ctrl+C, Ctrl+Break or close) no longer ends the process: the
// main thread's event processing calls `handler` once, and closes a modal pop-up that would
// keep the program from acting on it. A further request after the first ends the process at
// once. Calling it again registers anew, ready for one more request.
int SetTerminationHandler(void (*handler)(void));

// ---- Thread pool -----------------------------------------------------------------------------
typedef int CmtThreadPoolHandle;
typedef int (*ThreadFunctionPtr)(void* functionData);
typedef void (*ThreadFunctionCallbackPtr)(CmtThreadPoolHandle poolHandle, int functionID,
                                          unsigned int event, int value, void* callbackData);

enum {
  EVENT_TP_THREAD_FUNCTION_BEGIN = 1,
  EVENT_TP_THREAD_FUNCTION_END = 2,
};

// Safe before InitCVIRTEEx.
int CmtNewThreadPool(int maxThreads, CmtThreadPoolHandle* poolHandle);
// Returns at once; `function` runs on a pool thread. With callbackThreadID 0 the callback
// runs on that same thread, for each event in `callbackEventMask`; the end event follows the
// function's return and carries its result as `value`.
int CmtScheduleThreadPoolFunctionAdv(CmtThreadPoolHandle poolHandle, ThreadFunctionPtr function,
                                     void* functionData, int priority,
                                     ThreadFunctionCallbackPtr callback,
                                     unsigned int callbackEventMask, void* callbackData,
                                     unsigned long callbackThreadID, int* functionID);
// Blocks until the scheduled function and its callbacks have returned.
int CmtWaitForThreadPoolFunctionCompletion(CmtThreadPoolHandle poolHandle, int functionID,
                                           int options);

// ---- Beyond the control kinds: plain widgets, settings, files ----------------------------------
// Plain widgets of a panel (labels) carry no ctrlId; they are named by their object name in
// the panel file. From any thread: shows `text` in the panel's label `labelName`, soon, on
// the GUI thread (a text the label was last given costs nothing). UIE_BAD_PANEL for an unknown panel; a panel without that label ignores it.
int SetPanelText(int panel, const char* labelName, const char* text);

// The program's settings, one INI file in the platform's configuration folder. From any
// thread. GetSetting copies at most size - 1 characters and returns the value's length, or
// -1 (and "") when the key is not set. SetSetting returns 0, or -1 when the file cannot be
// written, which it reports with one line.
int GetSetting(const char* key, char* value, int size);
int SetSetting(const char* key, const char* value);

// The platform's folder for this program's data files (not created). Returns its length.
int GetDataFolder(char* path, int size);
// The local date and time now: ISO 8601 with the offset from UTC ("2026-03-01T14:05:09+01:00")
// and a compact form for file names ("20260301-140509"). Returns 0.
int GetLocalTimestamp(char* iso, int isoSize, char* compact, int compactSize);
// Main thread: a modal folder chooser opened at `start`. 1 with the chosen folder in `path`,
// 0 when the operator cancels.
int ChooseFolder(const char* title, const char* start, char* path, int size);

// ---- In-panel message log --------------------------------------------------------------------
// How a printed line is shown in the log: plainly, as a notice (a time-out) or as a fault
// (a refusal or a failure).
enum { LOG_PLAIN = 0, LOG_NOTICE = 1, LOG_FAULT = 2 };
enum { kMaxLogLines = 1000 };  // the log keeps the latest lines

// Main thread: from now on every line printed to stdout also appears in the panel's list
// widget `listName`, latest last, behind its local time of printing ("14:05:09"), coloured
// as `classify(line)` says (one of LOG_*; null shows every line plainly). Standard output
// and the standard-I/O window keep the lines as printed. UIE_BAD_CONTROL when the panel has
// no such list.
int ShowMessageLog(int panel, const char* listName, int (*classify)(const char* line));
// ---- Text inputs and lists; the settings file's start-up check --------------------------------
// Two more control kinds, built from Qt's own widgets in a panel file:
//   QLineEdit    text input, one line of text (VAL_STRING)
//   QListWidget  list of text rows, at most one selected (VAL_STRING)
// Their contents live in the widgets, so these calls are for the main thread only
// (UIE_NOT_INITIALISED elsewhere); UIE_WRONG_TYPE for a control of another kind.
enum { CTRL_KIND_TEXT_INPUT = 8, CTRL_KIND_LIST = 9 };
enum { VAL_STRING = 3 };

// A text input's text: copies at most size - 1 bytes (UTF-8) and returns the text's length.
int GetCtrlString(int panel, int control, char* value, int size);
int SetCtrlString(int panel, int control, const char* value);
// Lists: inserts a row before `index` (-1 or the row count: at the end), deletes one row,
// deletes every row. UIE_BAD_ARGUMENT for an index out of range.
int InsertListItem(int panel, int control, int index, const char* label);
int DeleteListItem(int panel, int control, int index);
int ClearListCtrl(int panel, int control);
int GetNumListItems(int panel, int control, int* count);
// The selected row, -1 when none; SetCtrlIndex(-1) clears the selection.
int GetCtrlIndex(int panel, int control, int* index);
int SetCtrlIndex(int panel, int control, int index);

// Checks the settings file once at start-up, before it is used. A file that cannot be read,
// is not a regular file, is empty, is not text, is cut off in its last line or does not
// parse is reported with one printed line and moved aside (".bad" appended to its name),
// so the program starts from defaults. 0 when the file is usable or absent, 1 when it was
// set aside.
int CheckSettingsFile(void);
// ---- Scan map: a plot of one XY plane of a scan grid ---------------------------------------------
// A panel control of its own kind (class ScanMap in the panel file, no value). It shows the
// planned points of one plane, the visited ones coloured by outcome, a marker at the stages'
// position and the plane's z index. Every call works from any thread and returns at once; the
// plot follows on the GUI thread, redrawn at most every 50 ms of real time however often it
// changes, and less often when a draw takes long (a fifth of the GUI thread's time at most). Results: 0, UIE_BAD_PANEL, UIE_BAD_CONTROL (no map control of that id), or
// UIE_BAD_ARGUMENT.
enum { CTRL_KIND_SCAN_MAP = 10 };

enum { MAP_POINT_PLANNED = 0, MAP_POINT_DONE = 1, MAP_POINT_TIMED_OUT = 2 };

// The points of one plane: x = start[0] + i * step[0] for i < count[0], y likewise.
struct MapPlane {
  int count[2];
  double start[2];  // mm
  double step[2];   // mm
  int index;        // z index of the plane, of `planes` in the grid
  int planes;
  double z;         // mm
};
// Shows `plane` with every point planned. A plane of more than kMaxMapPoints points is shown
// as its outline, and its points' outcomes are not kept.
enum { kMaxMapPoints = 2500 };
int SetMapPlane(int panel, int control, const MapPlane* plane);
// Colours point (ix, iy) of the plane shown by `outcome` (MAP_POINT_*).
int SetMapPoint(int panel, int control, int ix, int iy, int outcome);
// Puts the stages' marker at (x, y) mm.
int SetMapMarker(int panel, int control, double x, double y);
// ---- Dimming, and the controls a panel has ---------------------------------------------------
enum {
  // int 0/1, any control but a timer, from any thread: a dimmed control looks disabled and
  // takes no input, so a dimmed button raises no event.
  ATTR_DIMMED = 2110,
};
// Any thread: the ids of every control of `panel`, ascending. Writes at most `capacity` of
// them to `ids` and returns how many the panel has, or UIE_BAD_PANEL.
int GetPanelControlIds(int panel, int* ids, int capacity);
// ---- Manual operation: button texts, tooltips, keys, the soft-limits dialog ----------------
// From any thread: shows `text` on a command button / as a control's tooltip, soon, on the GUI
// thread. UIE_BAD_PANEL, UIE_BAD_CONTROL for an unknown panel or control.
int SetCtrlLabel(int panel, int control, const char* text);
int SetCtrlToolTip(int panel, int control, const char* text);

enum {
  PANEL_KEY_LEFT = 1,
  PANEL_KEY_RIGHT,
  PANEL_KEY_UP,
  PANEL_KEY_DOWN,
  PANEL_KEY_PAGE_UP,
  PANEL_KEY_PAGE_DOWN,
  PANEL_KEY_ESCAPE,
};
// Main thread: a press of `key` while the panel's window has the keyboard, no text field has
// the focus and no pop-up is shown presses `control` (an operator commit event, as a click
// would). Each press counts once: the key's auto-repeat while held is ignored.
int BindPanelKey(int panel, int key, int control);
// Main thread: the numeric input takes no step from the arrow keys, Page Up/Down or the mouse
// wheel, so its value changes only by typing.
int LockStepKeys(int panel, int control);

// Main thread: a modal dialog showing the soft limits of the three axes (mm), for editing.
// 1 with the values as typed (text that is no number gives NaN) when the operator presses OK,
// 0 when they cancel.
int EditLimitsDialog(double minimum[3], double maximum[3]);
