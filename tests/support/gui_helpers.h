// Helpers for tests that operate the GUI run-time's panels as a person would.
#pragma once

#include <QString>

#include <functional>

namespace test_support {

// Dismisses the next modal pop-up (as MessagePopup shows) as if OK were pressed, once it is
// shown and `ready` (if given) returns true; its message goes to *text if given. It polls from
// the main thread's event processing, so call it before the code that shows the pop-up.
void dismissPopupWhen(std::function<bool()> ready = {}, QString* text = nullptr);

// Clicks a control's widget with the left mouse button, as a person would.
void clickControl(int panel, int control);

// Asks a panel's window to close, as its title bar's close button does; true if it closed.
bool requestPanelClose(int panel);

}  // namespace test_support
