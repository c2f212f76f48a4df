// The saver window when a screen-saver daemon runs the show. On the daemon's
// window the port draws into that X11 window itself (SDL adopts it), follows
// its size from X11's notices because SDL does not notice when another program
// resizes it (the settings program's preview pane does), and watches for it to
// be destroyed. A window of the process's own is an ordinary resizable one.
#include <SDL.h>
#include <X11/Xlib.h>

#include "port_internal.h"
#include "win32_internal.h"

namespace {
PortSaverPlace kind = PortSaverPlace::Ordinary;
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

void PortSetSaverPlace(PortSaverPlace newKind, unsigned long newHost) {
  kind = newKind;
  host = newKind == PortSaverPlace::Host ? newHost : 0;
  hostWatched = hostGone = false;
}

PortSaverPlace PortChosenSaverPlace() { return kind; }

SDL_Window* CreateDaemonSdlWindow(const char* title, int width, int height) {
  if (kind == PortSaverPlace::Own)
    return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  // A number that names no window leaves the show nothing to draw on.
  Display* x = PortX11Display();
  if (!x || !PortX11WindowRect(host, nullptr)) return nullptr;
  PortX11TrapErrors();
  XSelectInput(x, host, StructureNotifyMask);
  hostWatched = PortX11UntrapErrors();
  // Read once the notices are asked for, so no resize falls between the two.
  if (!ReadHostSize()) return nullptr;
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
  return SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(host)));
}

bool DaemonWindowSize(int* width, int* height) {
  if (!host || hostGone) return false;
  // A host whose notices could not be asked for is measured every time.
  if (hostWatched) TakeHostNotices();
  else if (!ReadHostSize()) return false;
  if (hostGone) return false;
  *width = hostWidth;
  *height = hostHeight;
  return true;
}

bool PortDaemonWindowGone() {
  TakeHostNotices();
  return hostGone;
}
