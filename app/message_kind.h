// How the in-panel log shows a printed line: time-outs as notices; refusals, failures and
// failed connections as faults; everything else plainly.
#pragma once

// One of LOG_PLAIN, LOG_NOTICE, LOG_FAULT for `line` (without its newline).
int MessageKind(const char* line);
