// The window records shared by the window, message and paint modules.
#pragma once

#include <string>
#include <vector>

#include "port_internal.h"
#include "win32.h"

struct PortVideoDriver;

extern HandleTable windowHandles;

struct PortWindow {
  HWND handle = nullptr;
  std::string className;
  WNDPROC proc = nullptr;
  HBRUSH background = nullptr;
  HCURSOR cursor = nullptr;
  // The video driver's window and its GL context; none for a child.
  const PortVideoDriver* video = nullptr;
  void* native = nullptr;
  void* gl = nullptr;
  HWND parent = nullptr;
  bool alive = true;
  bool visible = false;
  bool needsPaint = false;
  bool erase = false;
  // A child inside another program's window has only this.
  unsigned long xid = 0;
  // Set on the saver window when a screen-saver daemon runs the show.
  PortSaverPlace place = PortSaverPlace::Ordinary;
};

extern std::vector<PortWindow*> portWindows;

PortWindow* PortWindowOf(HWND window);
// The queue (message_queue.cpp) and what feeds it: the window system's events,
// taken on every peek, and a wait for more (untilTimer ms at most, -1: no timer).
void PortPost(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam);
void PortPumpEvents();
void PortWaitForEvents(int untilTimer);
inline LPARAM PortMakeLParam(int low, int high) { return (LPARAM)(DWORD)((WORD)low | (DWORD)(WORD)high << 16); }

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
