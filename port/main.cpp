// The process entry on systems without Windows: hand the program its command
// line as Windows would show it, then run the program's own entry.
#include <string>

#include "port_internal.h"

static bool NeedsQuotes(const std::string& word) { return word.empty() || word.find(' ') != std::string::npos; }

static std::string Quoted(const std::string& word) { return NeedsQuotes(word) ? "\"" + word + "\"" : word; }

int main(int argc, char** argv) {
  std::string line = Quoted(argc > 0 ? argv[0] : "glimmerz");
  std::string arguments;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) arguments += ' ';
    arguments += Quoted(argv[i]);
  }
  if (!arguments.empty()) line += ' ' + arguments;
  PortSetCommandLine(line.c_str());
  int result = WinMain(PortProgramInstance(), nullptr, const_cast<char*>(arguments.c_str()), SW_SHOWNORMAL);
  PortExit();
  return result;
}
