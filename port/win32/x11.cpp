// The process's one Xlib connection, for what SDL cannot do: windows of other
// programs (a preview host, a screen-saver daemon's window) and children inside
// them. Xlib's own error handler ends the process on any error, and a window id
// from a command line may name no window at all, so errors here become failed
// calls instead.
#include <X11/Xlib.h>
#include <unistd.h>

#include "port_internal.h"

namespace {
Display* display = nullptr;
bool displayTried = false;
bool errorSeen = false;

int NoteError(Display*, XErrorEvent*) {
  errorSeen = true;
  return 0;
}

// A broken connection (the server went away) cannot be turned into a failed
// call by Xlib; it always exits after this. Exit quietly with 0, as every mode
// does when it cannot go on.
int NoteConnectionLost(Display*) { _exit(0); }
}  // namespace

Display* PortX11Display() {
  if (displayTried) return display;
  displayTried = true;
  display = XOpenDisplay(nullptr);
  if (display) {
    XSetErrorHandler(NoteError);
    XSetIOErrorHandler(NoteConnectionLost);
  }
  return display;
}

void PortX11TrapErrors() {
  if (display) XSync(display, False);
  errorSeen = false;
}

bool PortX11UntrapErrors() {
  if (display) XSync(display, False);
  bool failed = errorSeen;
  errorSeen = false;
  return !failed;
}

bool PortX11WindowRect(unsigned long window, RECT* rect) {
  Display* x = PortX11Display();
  if (!x || !window) return false;
  PortX11TrapErrors();
  XWindowAttributes attributes;
  Window child;
  int left = 0, top = 0;
  bool ok = XGetWindowAttributes(x, window, &attributes) &&
            XTranslateCoordinates(x, window, attributes.root, 0, 0, &left, &top, &child);
  ok = PortX11UntrapErrors() && ok;
  if (ok && rect) *rect = {left, top, left + attributes.width, top + attributes.height};
  return ok;
}

void PortX11Close() {
  if (display) XCloseDisplay(display);
  display = nullptr;
  displayTried = false;
}

unsigned long PortX11RootWindow() {
  Display* x = PortX11Display();
  return x ? DefaultRootWindow(x) : 0;
}
