// Test-only access to the GUI run-time's inside: the standard-I/O window's lines, the panel's
// widgets, the event queue and a forced initialisation failure.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace runtime_testing {

// Every complete line printed to stdout since SetStdioPort(0) or the last stdioClear(),
// without its newline.
std::vector<std::string> stdioLines();
// Returns once every line printed (and flushed) before the call has been collected.
void stdioSync();
void stdioClear();

// Makes the next InitCVIRTEEx calls report failure.
void failInit(bool fail);

QWidget* panelWidget(int panel);
QWidget* controlWidget(int panel, int control);
QWidget* stdioWindow();

// User events not yet taken by GetUserEvent.
std::size_t pendingEvents();
void clearEvents();
// User events queued since the process started, taken or not.
std::size_t queuedEventCount();

// From now on keeps every value written to the control with SetCtrlVal (ints as doubles),
// starting from an empty record; writes() returns them in order.
void recordWrites(int panel, int control);
std::vector<double> writes(int panel, int control);

// GUI thread: `hook` runs on every timer tick that will call its callback, after the tick
// has been found to belong to the timer's current arming and just before the callback; an
// empty hook removes it. Lets a test force what another thread does in between.
void setTickHook(std::function<void(int panel, int control)> hook);

// GUI thread: `hook` runs each time the hand-over to the GUI thread has taken the queued
// tasks, just before it runs them; an empty hook removes it. Lets a test post in between.
void setTasksTakenHook(std::function<void()> hook);

// Looks for relative panel files in `directory` first; empty restores the usual search.
void setPanelDirectory(const std::string& directory);

}  // namespace runtime_testing
