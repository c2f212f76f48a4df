// The window records shared by the window, message and paint modules.
#pragma once

#include <string>
#include <vector>

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
};

extern std::vector<PortWindow*> portWindows;

bool PortVideoReady();
PortWindow* PortWindowOf(HWND window);
PortWindow* PortWindowOfSdl(uint32_t sdlId);
BOOL PortScreenSaverRunning();

// Dialog windows (dialog_window.cpp) are not SDL windows: their place and size.
bool PortDialogWindowRect(HWND dialog, RECT* rect);
bool PortDialogMove(HWND dialog, int x, int y, int width, int height);
