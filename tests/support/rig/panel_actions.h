// What tests do at the panel again and again: type a scan grid, enable the stages, run a scan
// to its end, press a button and wait until the loop has handled it; and what the stages
// received, read from the simulator's call log.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "operator.h"

struct Grid {
  int n[3];   // points along x, y, z
  int on[3];  // scan along x, y, z
  double start[3] = {10.0, 20.0, 5.0};
  double step[3] = {1.0, 2.0, 0.5};
};

void TypeGrid(Operator& op, const Grid& grid);
// Enables the three stages and waits until the panel shows them enabled.
void EnableAll(Operator& op);
// Waits until the scan-running LED, recorded since RecordScanLed(), has gone on and off and
// the scan's end has lowered its request.
void RecordScanLed();
bool WaitForScanEnd(Operator& op, double realSeconds = 60.0);
// Presses start and waits until the scan has ended again.
void RunScan(Operator& op);
// Presses stop-scan and waits until the loop has taken it: every event queued before it has
// then been handled too. Not during a scan, whose end clears the flag this waits for.
void PressStop(Operator& op);
// Presses `control`, then waits as PressStop does.
void Press(Operator& op, int control);
// Stops the refresh timer and waits until the refreshes it had asked for are done: from then
// on nothing but the test reads the stages, so their calls can be counted.
void PauseRefresh(Operator& op);

// An absolute move as a stage received it.
struct Move {
  char axis;  // 'X', 'Y' or 'Z'
  double mm;
  bool operator==(const Move&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Move& m);
std::vector<Move> AbsoluteMoves();

// A command as a stage received it: function, axis and device-unit arguments. Homing
// parameters show only the direction.
struct Command {
  std::string function;
  int axis;
  std::vector<long long> args;
  bool operator==(const Command&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Command& c);
// Calls that command a stage; reads of position, status and messages are left out.
std::vector<Command> Commands();
