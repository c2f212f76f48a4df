// Boards are monitors: the first is the primary display driver, known by the
// null GUID; each further monitor is a board of its own. Its GUID comes from the
// monitor's name and how many monitors of that name come before it, so it stays
// the same from run to run while the monitors stay, and a stored choice finds
// its monitor again.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "directx_internal.h"

namespace {
// Video is started for the question and stopped again when nobody else had it.
struct VideoForAsking {
  bool started;
  bool ready;
  VideoForAsking() {
    started = SDL_WasInit(SDL_INIT_VIDEO) == 0;
    ready = !started || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (started && !ready) started = false;
  }
  ~VideoForAsking() {
    if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
};

std::string DisplayName(int display) {
  const char* name = SDL_GetDisplayName(display);
  return name ? name : "";
}

GUID GuidOfDisplay(int display) {
  std::string name = DisplayName(display);
  WORD sameNameBefore = 0;
  for (int i = 0; i < display; ++i)
    if (DisplayName(i) == name) ++sameNameBefore;
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  GUID guid = {0x5A4D4C47, 0xB0A2, sameNameBefore, {}};
  for (int i = 0; i < 8; ++i) guid.Data4[i] = (BYTE)(hash >> (8 * i));
  return guid;
}
}  // namespace

int BoardOfGuid(const GUID* guid) {
  static const GUID none = {};
  if (!guid || *guid == none) return 0;
  VideoForAsking video;
  if (!video.ready) return -1;
  for (int display = 1; display < SDL_GetNumVideoDisplays(); ++display)
    if (GuidOfDisplay(display) == *guid) return display;
  return -1;
}

int BoardCount() {
  VideoForAsking video;
  return video.ready ? std::max(SDL_GetNumVideoDisplays(), 1) : 1;
}

bool BoardBounds(int board, int* x, int* y, int* width, int* height) {
  VideoForAsking video;
  SDL_Rect bounds;
  if (!video.ready || SDL_GetDisplayBounds(board, &bounds) != 0) return false;
  *x = bounds.x;
  *y = bounds.y;
  *width = bounds.w;
  *height = bounds.h;
  return true;
}

void PlaceWindowOnBoard(HWND window, int board) {
  SDL_Window* sdl = PortSdlWindow(window);
  int x, y, width, height;
  if (!sdl || !PortWindowPlacedByProgram(window) || SDL_GetWindowDisplayIndex(sdl) == board ||
      !BoardBounds(board, &x, &y, &width, &height))
    return;
  bool fullScreen = (SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (fullScreen) SDL_SetWindowFullscreen(sdl, 0);
  SDL_SetWindowPosition(sdl, x, y);
  SDL_SetWindowSize(sdl, width, height);
  if (fullScreen) SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  char description[] = "Primary Display Driver";
  char name[] = "display";
  if (!callback(nullptr, description, name, context)) return DD_OK;
  VideoForAsking video;
  if (!video.ready) return DD_OK;
  for (int display = 1; display < SDL_GetNumVideoDisplays(); ++display) {
    GUID guid = GuidOfDisplay(display);
    char boardDescription[160], boardName[32];
    // SDL names monitors in UTF-8; the program reads its own code page.
    std::snprintf(boardDescription, sizeof boardDescription, "Monitor %d (%s)", display + 1,
                  PortLatin1(DisplayName(display)).c_str());
    std::snprintf(boardName, sizeof boardName, "\\\\.\\DISPLAY%d", display + 1);
    if (!callback(&guid, boardDescription, boardName, context)) break;
  }
  return DD_OK;
}
