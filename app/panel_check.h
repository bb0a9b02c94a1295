// Checks that a loaded panel has every control the program addresses, with the kind and
// data type the program reads and writes it as.
#pragma once

#include <string>

// Empty when the panel fits; otherwise a line naming the first control that does not.
std::string CheckPanelControls(int panel);
