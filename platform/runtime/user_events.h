// The run-time's own way into the user-event queue.
#pragma once

namespace runtime_impl {

// Queues an operator's commit event (a button press, a window-close request) for `control`
// of `panel`, within the bound gui_runtime.h states.
void queueOperatorEvent(int panel, int control);

}  // namespace runtime_impl
