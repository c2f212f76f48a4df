// The process entry on systems without Windows: hand the program its command
// line as Windows would show it, then run the program's own entry. A screen-saver
// daemon's options are taken here and become the program's saver switch, with
// the music and display mode they give held over the stored settings.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "drivers/x11/x11.h"
#include "linux.h"

// The ending signals are caught before anything else of the process runs, even
// the libraries' own start-up: a daemon may stop the show the moment it started it.
static void CatchEndingSignalsFirst() { PortCatchEndingSignals(); }
__attribute__((section(".preinit_array"), used)) static void (*catchFirst)() = CatchEndingSignalsFirst;

int main(int argc, char** argv) {
  DaemonOptions options = ReadDaemonOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
  if (options.help || options.version) {
    std::fputs((options.help ? UsageText() : VersionText()).c_str(), stdout);
    return 0;
  }
  std::string arguments = PortJoinArguments(argc, argv);
  std::string line = PortCommandLine(argc, argv);
  if (options.recognised) {
    // A display mode not offered is the one thing the program ever says, for
    // whoever wrote it into the daemon's settings; the show goes on regardless.
    std::string complaint = HoldDaemonSettings(options);
    if (!complaint.empty()) std::fputs(complaint.c_str(), stderr);
    PortSetSaverPlace(options.window, options.onRootWindow ? PortX11RootWindow() : options.host);
    arguments = "/s";
    line = PortCommandLine(1, argv) + " /s";
  }
  PortSetCommandLine(line.c_str());
  int result = WinMain(PortProgramInstance(), nullptr, &arguments[0], SW_SHOWNORMAL);
  PortExit();
  PortEndAsSignalled();
  return result;
}
