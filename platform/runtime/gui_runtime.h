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

// Blocks the calling thread for `milliseconds` of platform-clock time.
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

// ---- Events ----------------------------------------------------------------------------------
// Main thread only. waitMode 1: processes GUI events (timer callbacks included) until a user
// event is queued, then returns the oldest one's event number; waitMode 0: returns 0 at once
// when none is queued.
int GetUserEvent(int waitMode, int* panel, int* control);
// From any thread: queues a user event for `control` of `panel`.
int QueueUserEvent(int eventNumber, int panel, int control);

// Modal message box; timer callbacks keep running while it is shown. Main thread only.
int MessagePopup(const char* title, const char* message);

// Blocks the calling thread for `seconds` of platform-clock time; processes no events.
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
