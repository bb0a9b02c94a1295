// Checks that a loaded panel has every control the program addresses, with the kind and
// data type the program reads and writes it as; that each timer runs the callback the
// program needs from it; and that closing the window presses QUIT.
#pragma once

#include <string>

// Empty when the panel fits; otherwise a line naming the first control that does not.
std::string CheckPanelControls(int panel);
