// The daemon's window when a screen-saver daemon runs the show on it. The
// video driver draws into that X11 window itself; its size is followed from
// X11's notices because a video library does not notice when another program
// resizes it (the settings program's preview pane does), and it is watched
// for its end.
#include <X11/Xlib.h>

#include "x11.h"

namespace {
unsigned long host = 0;
bool hostWatched = false;
bool hostGone = false;
int hostWidth = 0;
int hostHeight = 0;

// Only the host's own notices are taken off the queue; the connection is shared
// with other windows' users.
void TakeHostNotices() {
  Display* x = PortX11Display();
  if (!x || !hostWatched || hostGone) return;
  XEvent event;
  while (XCheckTypedWindowEvent(x, host, ConfigureNotify, &event)) {
    hostWidth = event.xconfigure.width;
    hostHeight = event.xconfigure.height;
  }
  while (XCheckTypedWindowEvent(x, host, DestroyNotify, &event)) hostGone = true;
}

bool ReadHostSize() {
  RECT rect;
  if (!PortX11WindowRect(host, &rect)) return false;
  hostWidth = rect.right - rect.left;
  hostHeight = rect.bottom - rect.top;
  return true;
}
}  // namespace

bool WatchDaemonWindow(unsigned long window) {
  host = window;
  hostWatched = hostGone = false;
  // A number that names no window leaves the show nothing to draw on.
  Display* x = PortX11Display();
  if (!x || !PortX11WindowRect(host, nullptr)) return false;
  PortX11TrapErrors();
  XSelectInput(x, host, StructureNotifyMask);
  hostWatched = PortX11UntrapErrors();
  // Read once the notices are asked for, so no resize falls between the two.
  return ReadHostSize();
}

bool DaemonWindowSize(int* width, int* height) {
  if (!host || hostGone) return false;
  // A host whose notices could not be asked for is measured every time.
  if (hostWatched)
    TakeHostNotices();
  else if (!ReadHostSize())
    return false;
  if (hostGone) return false;
  *width = hostWidth;
  *height = hostHeight;
  return true;
}

bool PortDaemonWindowGone() {
  TakeHostNotices();
  return hostGone;
}
