// The desktop's active window, as the window manager announces it on the root
// window. Without a window manager nothing is announced and there is none.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "x11.h"

unsigned long PortX11ActiveWindow() {
  Display* x = PortX11Display();
  if (!x) return 0;
  Atom active = XInternAtom(x, "_NET_ACTIVE_WINDOW", True);
  if (active == None) return 0;
  PortX11TrapErrors();
  Atom type;
  int format;
  unsigned long count = 0, left;
  unsigned char* data = nullptr;
  unsigned long window = 0;
  if (XGetWindowProperty(x, DefaultRootWindow(x), active, 0, 1, False, XA_WINDOW, &type, &format, &count, &left,
                         &data) == Success &&
      data && type == XA_WINDOW && format == 32 && count == 1)
    window = *(unsigned long*)data;
  if (data) XFree(data);
  return PortX11UntrapErrors() ? window : 0;
}
