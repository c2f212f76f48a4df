// What the Linux drivers share: the process entry's daemon options, the ending
// signals and the end of a run. Every Linux build has these, whatever draws
// its windows.
#pragma once

#include <string>

#include "driver.h"

// SIGTERM, SIGINT and SIGHUP are noted for the message loops instead of ending
// the process at once; a second one ends it at once (signals.cpp).
void PortCatchEndingSignals();
// True once an ending signal has arrived (it stays true).
bool PortEndingSignalTaken();
// Readable once an ending signal has arrived, for waits to watch; -1 before
// the signals are caught.
int PortEndingSignalFd();
// After the program has closed: ends the process by the ending signal that
// arrived, if one did.
void PortEndAsSignalled();
// The daemon's options on main's command line (daemon_options.cpp).
struct DaemonOptions {
  bool recognised = false;  // any of them: the run is the saver show
  bool help = false;
  bool version = false;
  PortSaverPlace window = PortSaverPlace::Ordinary;
  unsigned long host = 0;     // with Host: the window, 0 when the id named none
  bool onRootWindow = false;  // with Host: the screen's root window instead
  int music = -1;             // 1 or 0 for this run; -1 leaves it to the settings
  bool modeGiven = false;
  std::string mode;  // the display mode for this run as given, WxHxBPP
};
DaemonOptions ReadDaemonOptions(int argc, char** argv, const char* daemonWindow);
// Holds the options' music and display mode over the settings for this run;
// returns the one line that names a display mode not offered (whose setting is
// then left to the settings), else nothing.
std::string HoldDaemonSettings(const DaemonOptions& options);
unsigned long ReadWindowId(const char* text);
std::string UsageText();
std::string VersionText();
