// The standard-I/O window: a read-only, monospace list of the lines the process printed.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace runtime_impl::stdio_window {

// Any thread: stdout is shown from now on, so the window is to exist.
void enable();

// Any thread, before the GUI exists too: the window will show these lines.
void appendLines(std::vector<std::string> lines);

// GUI thread: shows the window beside `panel` the first time a panel is displayed, if
// stdout is being shown at all; on a screen too small for both, on screen behind the panel.
void showBeside(QWidget* panel);

}  // namespace runtime_impl::stdio_window
