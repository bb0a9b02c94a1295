// The test panel forms/controls.ui, the timer callback it names, and waiting on the GUI.
#pragma once

#include <QWidget>

#include <functional>
#include <string>

#include "runtime_testing.h"

namespace controls_panel {

constexpr int kPanelId = 1;
enum Control : int {
  kQuit = 2,  // the panel's close control
  kStart = 3,
  kSteps = 4,         // QSpinBox, -1000000..1000000, starts at 12
  kSpeed = 5,         // QDoubleSpinBox, 0..1000000, starts at 2.5
  kHome = 6,          // QCheckBox, starts checked
  kBusyLed = 7,       // Led, starts on
  kStatusWord = 8,    // NumericIndicator, int, hex
  kPosition = 9,      // NumericIndicator, double, 2 decimals, suffix " mm"
  kProgress = 10,     // QProgressBar, starts at 25 %
  kPollTimer = 11,    // PanelTimer, 1 s, disabled, calls onTick
  kPointCount = 12,   // read-only QSpinBox
  kLabel = 13,        // QLineEdit, empty
  kChoices = 14,      // QListWidget, empty
};

// A control's widget as the class it should be; null if it is not.
template <typename W>
W* widget(int panel, int control) {
  return qobject_cast<W*>(runtime_testing::controlWidget(panel, control));
}

// Absolute path of a form in tests/runtime/forms.
std::string formPath(const std::string& name);

// Loads controls.ui and returns its handle; a failed load fails the test.
int load();

// Called on the timer callback onTick, which the form's timer names.
extern std::function<void(int panel, int control)> onTick;

// Processes GUI events until `done` holds or `seconds` of real time have passed (a bound
// for a broken run, not a timing); returns `done()`.
bool processEventsUntil(const std::function<bool()>& done, double seconds = 30.0);

}  // namespace controls_panel
