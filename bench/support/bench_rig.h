// Start-up shared by the benchmarks that drive the program's layers: the GUI run-time on the
// offscreen platform, the real panel file as p1_h, and the three simulated stages connected,
// with the program's message callback.
#pragma once

// Returns false (with a line on stderr) when the rig cannot be set up. With the argument
// --without-map the panel is loaded without its scan map, for a baseline of what the map costs.
bool StartBenchRig(int argc, char** argv);
