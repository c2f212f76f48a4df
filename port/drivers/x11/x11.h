// The X11 extras of the Linux build: another program's windows by their X11
// ids (a daemon's window the show draws on, a settings page's preview pane
// holding a child window), and the desktop's active window. They use their own
// Xlib connection, whichever video driver draws the show's own windows.
#pragma once

#include "driver.h"

// The process's one Xlib connection, opened on first use; null without a display.
// While it is open, X errors are noted instead of ending the process: wrap calls
// that may fail (a window id that is no window) in PortX11TrapErrors and
// PortX11UntrapErrors, which reports whether they all succeeded.
struct _XDisplay;
_XDisplay* PortX11Display();
void PortX11TrapErrors();
bool PortX11UntrapErrors();
// The outer rectangle, in screen coordinates, of any X11 window by its id.
bool PortX11WindowRect(unsigned long window, RECT* rect);
void PortX11Close();
// The window the desktop calls active (_NET_ACTIVE_WINDOW), or 0.
unsigned long PortX11ActiveWindow();
// The screen's root window, or 0 without a display.
unsigned long PortX11RootWindow();
// The daemon's window, when a screen-saver daemon runs the show on it
// (daemon_window.cpp): its X11 size as last reported, and whether it is gone.
bool DaemonWindowSize(int* width, int* height);
bool PortDaemonWindowGone();
// Starts watching the daemon's window for resizes and its end; false when the
// id names no window.
bool WatchDaemonWindow(unsigned long host);

// Child windows inside another program's X11 window, drawn with Xlib
// (child_window.cpp). Open fills w->xid or fails when the parent is no window.
bool PortOpenChildWindow(PortWindow* w, HWND parent, int x, int y, int width, int height);
void PortCloseChildWindow(PortWindow* w);
void PortShowChildWindow(PortWindow* w, bool show);
bool PortChildWindowRect(PortWindow* w, RECT* rect, bool client);
// Copies 0x00RRGGBB pixels (stride in pixels) into the window; the server crops.
bool PortDrawChildPixels(PortWindow* w, int x, int y, int width, int height, const uint32_t* pixels, int stride);
// Turns the children's X events into paint requests and WM_DESTROY.
void PortPumpChildWindowEvents();
// Sleeps until an X event arrives or timeoutMs pass (-1: no limit).
void PortWaitForChildWindowEvents(int timeoutMs);
