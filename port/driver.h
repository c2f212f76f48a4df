// What a system supplies below the Windows behaviour of win32/, directx/ and
// dmusic/, which is written once. Each driver is a folder of drivers/; a build
// links the folders its system has (cmake/linux.cmake, cmake/web.cmake).
//
// Windows, their GL context, input and monitors come from a video driver: a
// table the driver fills. A build may carry several; the first in its list
// (portVideoDrivers) whose display can be used is taken, and GLIMMERZ_VIDEO
// names one to take instead. The rest of this face is one function each, of
// which a build has exactly one: the settings file's home, the synthesiser and
// its sink, the dialog, the GL dialect's target, captures and the resources.
#pragma once

#include <cstdint>
#include <string>

#include "directx/directx_internal.h"
#include "win32/win32_internal.h"

struct PortVideoDriver {
  const char* name;
  // Starts the display; false when there is none this driver can use.
  bool (*start)();
  void (*stop)();

  // A top-level window of the driver's own for w (its place, parent and title
  // are set); false when it cannot be made. Closing also ends its GL context.
  bool (*openWindow)(PortWindow* w, DWORD exStyle, const char* title, int x, int y, int width, int height);
  void (*closeWindow)(PortWindow* w);
  void (*showWindow)(PortWindow* w, bool show);
  void (*moveWindow)(PortWindow* w, int x, int y, int width, int height);
  // The picture area in pixels, and the outer rectangle on the screen.
  bool (*windowSize)(PortWindow* w, int* width, int* height);
  bool (*windowRect)(PortWindow* w, RECT* rect);
  bool (*windowFocused)(PortWindow* w);
  // Moves a window that covers one monitor onto another.
  void (*placeOnMonitor)(PortWindow* w, int monitor);

  // The window's GL context, made on first use and current afterwards; null
  // when it cannot have one. Presenting waits for the display's refresh (1),
  // does not (0), or does as the last present did (-1).
  void* (*makeGlCurrent)(PortWindow* w);
  void (*present)(PortWindow* w, int waitForRefresh);

  // Turns what arrived into the windows' messages (PortPost), and sleeps until
  // something may have arrived, timeoutMs at most (-1: no limit).
  void (*pumpEvents)();
  void (*waitForEvents)(int timeoutMs);
  void (*showCursor)(bool shown);

  // Monitors: the primary first. The name tells monitors apart from run to run.
  int (*monitorCount)();
  bool (*monitorBounds)(int monitor, RECT* bounds);
  std::string (*monitorName)(int monitor);
};

// Windows of other programs, where the system has them: a child inside one,
// drawn pixel by pixel, their places, and the desktop's active window. Their
// events are taken with every peek at the queue, whatever the video driver.
struct PortForeignWindows {
  bool (*openChild)(PortWindow* w, HWND parent, int x, int y, int width, int height);
  void (*closeChild)(PortWindow* w);
  void (*showChild)(PortWindow* w, bool show);
  bool (*childRect)(PortWindow* w, RECT* rect, bool client);
  bool (*drawChildPixels)(PortWindow* w, int x, int y, int width, int height, const uint32_t* pixels, int stride);
  bool (*windowRect)(HWND window, RECT* rect);
  HWND (*activeWindow)();
  void (*pumpEvents)();
  // Sleeps until one of them has news or timeoutMs pass (-1: no limit).
  void (*waitForEvents)(int timeoutMs);
};
// Null where the system has no such windows.
extern const PortForeignWindows* const portForeignWindows;
void PortCloseForeignWindows();

// Asks the show to close the ordinary way when the system wants it ended
// (a signal, a daemon's window gone, the page left); called with every peek.
void PortCheckEndRequests();

// The build's video drivers, most wanted first (each build's drivers list).
extern const PortVideoDriver* const portVideoDrivers[];
extern const int portVideoDriverCount;
// The driver chosen at the first question, started; null when none could start.
const PortVideoDriver* PortVideo();
// The chosen driver when one has started; asking never starts one.
const PortVideoDriver* PortVideoIfRunning();
// Stops the chosen driver; the next question chooses again.
void PortStopVideo();

// The dialog (DialogBoxParamA, EndDialog, SendDlgItemMessageA in win32.h) and
// where a dialog window is: false for a handle that is no dialog.
bool PortDialogWindowRect(HWND dialog, RECT* rect);
bool PortDialogMove(HWND dialog, int x, int y, int width, int height);

// And one each of: the synthesiser with its sink (CreatePortPerformance,
// dmusic_internal.h); the settings file's home (RegistryFile, registry.h); the
// GL dialect's target, texel upload and capture store (directx_internal.h);
// the resources (glimmerzResStart, port_internal.h); the process entry.
