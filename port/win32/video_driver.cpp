// The video driver: the first of the build's list whose display can be used,
// or the one GLIMMERZ_VIDEO names. Asked for when the first window is made
// (or the screen measured), and stopped when the program ends.
#include <cstdlib>
#include <cstring>

#include "driver.h"

namespace {
const PortVideoDriver* chosen = nullptr;
bool tried = false;

bool Start(const PortVideoDriver* driver) {
  if (!driver->start()) return false;
  chosen = driver;
  return true;
}
}  // namespace

const PortVideoDriver* PortVideo() {
  if (tried) return chosen;
  tried = true;
  const char* wanted = std::getenv("GLIMMERZ_VIDEO");
  for (int i = 0; i < portVideoDriverCount; ++i) {
    const PortVideoDriver* driver = portVideoDrivers[i];
    if (wanted && *wanted && std::strcmp(wanted, driver->name) != 0) continue;
    if (Start(driver)) break;
  }
  return chosen;
}

const PortVideoDriver* PortVideoIfRunning() { return chosen; }

void PortStopVideo() {
  if (chosen) chosen->stop();
  chosen = nullptr;
  tried = false;
}

void PortPumpEvents() {
  if (chosen) chosen->pumpEvents();
  if (portForeignWindows) portForeignWindows->pumpEvents();
  PortCheckEndRequests();
}

// Wakes for the video driver's news, a foreign window's or the next timer.
void PortWaitForEvents(int untilTimer) {
  if (chosen)
    chosen->waitForEvents(untilTimer);
  else if (portForeignWindows)
    portForeignWindows->waitForEvents(untilTimer >= 0 ? untilTimer : 1000);
  else if (const PortVideoDriver* video = PortVideo())
    video->waitForEvents(untilTimer);
}
