// The process entry: hands the command line to the program's WinMain, as the Windows
// run-time did. lpszCmdLine holds the arguments after the program name.
#include <string>

#include "gui_runtime.h"

int main(int argc, char** argv) {
  static InstanceData instance{argc, argv};
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  return WinMain(&instance, nullptr, commandLine.data(), 1);
}
