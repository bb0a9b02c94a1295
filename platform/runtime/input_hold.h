// Operator input before the program's event loop runs: a panel shown while the program still
// starts up (connecting the stages, with sleeps that keep the windows painted) looks disabled
// and takes no input, so that no press is queued then and acted on later by surprise.
#pragma once

namespace runtime_impl::input_hold {

// GUI thread: a panel was shown; the loop has not run for it yet.
void panelShown();

// GUI thread: a shown panel waits for the loop's first run.
bool waitingForLoop();

// GUI thread, at a sleep on it: from now until the loop runs, the shown panels' inputs are
// disabled and operator input to them is dropped.
void holdUntilLoopRuns();

// GUI thread, when the event loop takes events: drops the input that arrived meanwhile and
// enables the inputs again.
void loopRuns();

}  // namespace runtime_impl::input_hold
