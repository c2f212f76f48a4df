// What the Linux drivers share: the ending signals and the end of a run. Every
// Linux build has these, whatever draws its windows.
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
