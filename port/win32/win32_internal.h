// The window records shared by the window, message and paint modules.
#pragma once

#include <string>
#include <vector>

#include "port_internal.h"
#include "win32.h"

struct SDL_Window;

struct PortWindow {
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
  // Set on the saver window when a screen-saver daemon runs the show.
  PortHackWindow hack = PortHackWindow::Ordinary;
};

extern std::vector<PortWindow*> portWindows;

bool PortVideoReady();
PortWindow* PortWindowOf(HWND window);
PortWindow* PortWindowOfSdl(uint32_t sdlId);
BOOL PortScreenSaverRunning();

// The saver window's SDL window when a daemon runs the show (hack_window.cpp),
// and the size of the daemon's window as X11 reports it.
SDL_Window* CreateHackSdlWindow(const char* title, int width, int height);
bool HackHostSize(int* width, int* height);
