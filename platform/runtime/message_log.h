// The in-panel message log: the lines the process prints, each behind its local time of
// printing, in a panel's list widget.
#pragma once

#include <string>
#include <vector>

namespace runtime_impl::message_log {

// Any thread: lines just printed, in order. Kept only once a log is shown.
void appendLines(const std::vector<std::string>& lines);

}  // namespace runtime_impl::message_log
