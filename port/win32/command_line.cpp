// The command line as Windows shows it to a program: its name first, quoted when
// it holds spaces, then the arguments.
#include <string>

#include "port_internal.h"

static std::string Quoted(const std::string& word) {
  return word.empty() || word.find(' ') != std::string::npos ? "\"" + word + "\"" : word;
}

std::string PortJoinArguments(int argc, char** argv) {
  std::string arguments;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) arguments += ' ';
    arguments += Quoted(argv[i]);
  }
  return arguments;
}

std::string PortCommandLine(int argc, char** argv) {
  std::string line = Quoted(argc > 0 && argv[0] ? argv[0] : "glimmerz");
  std::string arguments = PortJoinArguments(argc, argv);
  return arguments.empty() ? line : line + ' ' + arguments;
}
