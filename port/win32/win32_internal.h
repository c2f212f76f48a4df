// The window records shared by the window, message and paint modules.
#pragma once

#include <string>
#include <vector>

#include "port_internal.h"
#include "win32.h"

struct SDL_Window;

extern HandleTable windowHandles;

struct PortWindow {
  HWND handle = nullptr;
  std::string className;
  WNDPROC proc = nullptr;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;
  SDL_Window* sdl = nullptr;
  void* gl = nullptr;
  HWND parent = nullptr;
  bool alive = true;
  bool visible = false;
  bool needsPaint = false;
  bool erase = false;
  // A child inside another program's X11 window has no SDL window, only this.
  unsigned long xid = 0;
  // Set on the saver window when a screen-saver daemon runs the show.
  PortSaverPlace place = PortSaverPlace::Ordinary;
};

extern std::vector<PortWindow*> portWindows;

bool PortVideoReady();
PortWindow* PortWindowOf(HWND window);
// The queue (message_queue.cpp) and what feeds it: the window system's events,
// taken on every peek, and a wait for more (untilTimer ms at most, -1: no timer).
void PortPost(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
void PortPumpEvents();
void PortWaitForEvents(int untilTimer);
inline LPARAM PortMakeLParam(int low, int high) { return (LPARAM)(DWORD)((WORD)low | (DWORD)(WORD)high << 16); }
PortWindow* PortWindowOfSdl(uint32_t sdlId);

// The saver window's SDL window when a daemon runs the show (daemon_window.cpp),
// and the size of the daemon's window as X11 reports it.
SDL_Window* CreateDaemonSdlWindow(const char* title, int width, int height);
bool DaemonWindowSize(int* width, int* height);

// True once SDL video is up; asking never starts it.
bool PortVideoRunning();

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

// Window timers (window_timers.cpp): the next due WM_TIMER, and how long until one is.
bool PortTakeDueTimer(MSG* msg, bool remove);
int PortMsUntilNextTimer();

// A bitmap as LoadImageA makes it (bitmap_load.cpp): 0x00RRGGBB, top row first.
struct PortBitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
// Decodes a bitmap resource's bytes (header, colour table, bits); null when damaged.
PortBitmap* PortDecodeBitmap(const BYTE* bytes, DWORD size);
// Makes a decoded bitmap a GDI object (gdi.cpp), which DeleteObject frees.
HBITMAP PortAdoptBitmap(PortBitmap* bitmap);
