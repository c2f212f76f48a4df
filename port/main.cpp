// The process entry on systems without Windows: hand the program its command
// line as Windows would show it, then run the program's own entry.
#include <string>

#include "port_internal.h"

int main(int argc, char** argv) {
  PortSetCommandLine(PortCommandLine(argc, argv).c_str());
  std::string arguments = PortJoinArguments(argc, argv);
  int result = WinMain(PortProgramInstance(), nullptr, &arguments[0], SW_SHOWNORMAL);
  PortExit();
  return result;
}
