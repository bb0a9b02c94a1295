// A scripted operator for end-to-end tests: the program's entry runs its event loop on the
// main thread while the script, on a thread of its own, clicks the real widgets, types into
// the real inputs and reads the real indicators, as a person at the panel would.
#pragma once

#include <functional>
#include <string>
#include <vector>

class Operator {
 public:
  // Left-clicks the control's widget (on the GUI thread).
  void click(int control);
  // Sets an input's value as the operator's typing would.
  void type(int control, double value);
  void type(int control, int value);
  int readInt(int control);
  double readDouble(int control);
  // Polls `condition` until it holds; false after `realSeconds` of real time.
  bool waitFor(const std::function<bool()>& condition, double realSeconds = 60.0);
  // The modal pop-up currently shown: its title and text, empty when none.
  std::string popupText();
  // Closes the modal pop-up as its OK button would.
  void dismissPopup();
  // Lines printed so far (the standard-I/O window's).
  std::vector<std::string> lines();
  // True once the program's entry has returned, waiting up to `realSeconds`.
  bool waitForProgramEnd(double realSeconds = 60.0);
  // Runs `fn` on the GUI thread and waits for it.
  void onGuiThread(const std::function<void()>& fn);
};

// Runs the program's entry on this (the main) thread with `script` acting on a second
// thread, and returns the entry's result. If the script returns without ending the program,
// QUIT is pressed for it once no scan runs.
int RunQuarlex(const std::function<void(Operator&)>& script);

// Waits until every printed line has been collected and returns them all.
std::vector<std::string> PrintedLines();
// The text of the panel's plain label named `name`, or "<no label>".
std::string LabelText(Operator& op, const char* name);
