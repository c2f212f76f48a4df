// Windows inside another program's window (a settings page's preview pane),
// given by its X11 id. SDL cannot make a child of a foreign window, so these are
// plain Xlib windows on the port's one connection, painted with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <cstdlib>

#include "drivers/linux/linux.h"
#include "x11.h"
#include "win32/win32_internal.h"

namespace {
Display* Connection() { return reinterpret_cast<Display*>(PortX11Display()); }

PortWindow* ChildOf(Window xid) {
  for (PortWindow* w : portWindows)
    if (w->alive && w->xid == xid) return w;
  return nullptr;
}

bool AnyChildWindow() {
  for (PortWindow* w : portWindows)
    if (w->alive && w->xid) return true;
  return false;
}

// The host destroyed the window (its own destruction takes its children along):
// the program hears of it as from DestroyWindow, but there is nothing left to free.
void NoteDestroyed(PortWindow* w) {
  w->xid = 0;
  w->proc(w->handle, WM_DESTROY, 0, 0);
  w->alive = false;
  RemoveHandle(windowHandles, (uintptr_t)w->handle);
}

// Where a channel's mask puts an 8-bit value.
unsigned long Channel(unsigned long value, unsigned long mask) {
  if (!mask) return 0;
  int shift = 0, bits = 0;
  while (!(mask >> shift & 1)) ++shift;
  while (mask >> (shift + bits) & 1) ++bits;
  unsigned long scaled = bits >= 8 ? value << (bits - 8) : value >> (8 - bits);
  return scaled << shift & mask;
}
}  // namespace

bool PortOpenChildWindow(PortWindow* w, HWND parent, int x, int y, int width, int height) {
  Display* x11 = Connection();
  Window host = (Window)(uintptr_t)parent;
  if (!x11 || !IsForeignWindow(parent)) return false;
  unsigned long background = w->background == GetStockObject(BLACK_BRUSH) ? BlackPixel(x11, DefaultScreen(x11))
                                                                          : WhitePixel(x11, DefaultScreen(x11));
  PortX11TrapErrors();
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = background;
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  // The parent's visual and depth, so a host of any depth can take the child.
  Window xid = XCreateWindow(x11, host, x, y, width > 0 ? width : 1, height > 0 ? height : 1, 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  if (!PortX11UntrapErrors() || !xid) return false;
  w->xid = xid;
  return true;
}

void PortCloseChildWindow(PortWindow* w) {
  Display* x11 = Connection();
  if (!x11 || !w->xid) return;
  PortX11TrapErrors();
  XDestroyWindow(x11, w->xid);
  PortX11UntrapErrors();  // the host may have taken it already
  w->xid = 0;
}

void PortShowChildWindow(PortWindow* w, bool show) {
  Display* x11 = Connection();
  if (!x11 || !w->xid) return;
  if (show)
    XMapWindow(x11, w->xid);
  else
    XUnmapWindow(x11, w->xid);
}

bool PortChildWindowRect(PortWindow* w, RECT* rect, bool client) {
  if (!PortX11WindowRect(w->xid, rect)) return false;
  if (client) *rect = {0, 0, rect->right - rect->left, rect->bottom - rect->top};
  return true;
}

bool PortDrawChildPixels(PortWindow* w, int x, int y, int width, int height, const uint32_t* pixels, int stride) {
  Display* x11 = Connection();
  if (!x11 || !w->xid || width <= 0 || height <= 0) return false;
  PortX11TrapErrors();
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(x11, w->xid, &attributes) || attributes.visual->c_class != TrueColor) {
    PortX11UntrapErrors();
    return false;
  }
  XImage* image = XCreateImage(x11, attributes.visual, attributes.depth, ZPixmap, 0, nullptr, width, height, 32, 0);
  if (image) image->data = static_cast<char*>(std::calloc((size_t)image->bytes_per_line, height));
  if (image && image->data) {
    const Visual* v = attributes.visual;
    for (int row = 0; row < height; ++row)
      for (int column = 0; column < width; ++column) {
        uint32_t c = pixels[(size_t)row * stride + column];
        XPutPixel(image, column, row,
                  Channel(c >> 16 & 0xFF, v->red_mask) | Channel(c >> 8 & 0xFF, v->green_mask) |
                      Channel(c & 0xFF, v->blue_mask));
      }
    GC gc = XCreateGC(x11, w->xid, 0, nullptr);
    XPutImage(x11, w->xid, gc, image, 0, 0, x, y, width, height);
    XFreeGC(x11, gc);
  }
  if (image) XDestroyImage(image);  // frees the pixels too
  return PortX11UntrapErrors() && image;
}

void PortPumpChildWindowEvents() {
  if (!AnyChildWindow()) return;
  Display* x11 = Connection();
  while (x11 && XPending(x11)) {
    XEvent e;
    XNextEvent(x11, &e);
    PortWindow* w = ChildOf(e.xany.window);
    if (!w) continue;
    if (e.type == Expose)
      w->needsPaint = true;
    else if (e.type == DestroyNotify && e.xdestroywindow.window == w->xid)
      NoteDestroyed(w);
  }
}

// An ending signal wakes the wait too.
void PortWaitForChildWindowEvents(int timeoutMs) {
  Display* x11 = AnyChildWindow() ? Connection() : nullptr;
  pollfd wakers[2] = {{PortEndingSignalFd(), POLLIN, 0}, {-1, POLLIN, 0}};
  if (!x11) {
    // Nothing else can wake the wait; stay as responsive as a queue of one's own needs.
    poll(wakers, 1, timeoutMs >= 0 && timeoutMs < 10 ? timeoutMs : 10);
    return;
  }
  XFlush(x11);
  if (XPending(x11)) return;
  wakers[1].fd = ConnectionNumber(x11);
  poll(wakers, 2, timeoutMs);
}
