// Windows on SDL2: top-level windows with their GL contexts, the cursor and the
// monitors. Input arrives through sdl_events.cpp.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "drivers/x11/x11.h"
#include "sdl.h"

namespace {
SDL_Window* Sdl(PortWindow* w) { return static_cast<SDL_Window*>(w->native); }

bool videoReady = false;

bool StartVideo() {
  PortSetVideoHints();
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1");
  // A Wayland session gets Wayland, but a window a daemon handed over is an
  // X11 window. Without a usable display SDL would fall back to its offscreen
  // driver: a saver nobody can see or end; so no display means no window, and
  // the mode ends. An SDL_VIDEODRIVER of the user's own still wins over this.
  bool wayland = std::getenv("WAYLAND_DISPLAY") && PortChosenSaverPlace() != PortSaverPlace::Host;
  SDL_SetHint(SDL_HINT_VIDEODRIVER, wayland ? "wayland,x11" : "x11");
  videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (videoReady) {
    // The window's visual is chosen when it is made, so GL wishes go first.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_StopTextInput();
  }
  return videoReady;
}

void StopVideo() {
  if (videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
  videoReady = false;
}

// When a screen-saver daemon runs the show: the daemon's own window, which SDL
// adopts, or an ordinary resizable window of the process's own for trying it.
SDL_Window* OpenDaemonWindow(PortSaverPlace place, const char* title) {
  if (place == PortSaverPlace::Own)
    return SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
  if (!WatchDaemonWindow(PortSaverHost())) return nullptr;
  SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
  return SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(PortSaverHost())));
}

bool OpenWindow(PortWindow* w, DWORD exStyle, const char* title, int x, int y, int width, int height) {
  if (w->place != PortSaverPlace::Ordinary) {
    w->native = OpenDaemonWindow(w->place, title);
    return w->native != nullptr;
  }
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
  if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Rect screen;
  if (SDL_GetDisplayBounds(0, &screen) == 0 && x == screen.x && y == screen.y && width == screen.w &&
      height == screen.h)
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  w->native = SDL_CreateWindow(title, x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
  return w->native != nullptr;
}

void CloseWindow(PortWindow* w) {
  if (w->gl) SDL_GL_DeleteContext(w->gl);
  w->gl = nullptr;
  if (w->native) SDL_DestroyWindow(Sdl(w));
  w->native = nullptr;
}

void ShowWindow(PortWindow* w, bool show) {
  if (!show) {
    SDL_HideWindow(Sdl(w));
    return;
  }
  SDL_ShowWindow(Sdl(w));
  // Raising asks a Wayland compositor for an activation token, which some
  // (sway 1.7) use after the window is gone, and crash.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "wayland") != 0) SDL_RaiseWindow(Sdl(w));
}

void MoveWindow(PortWindow* w, int x, int y, int width, int height) {
  SDL_SetWindowPosition(Sdl(w), x, y);
  SDL_SetWindowSize(Sdl(w), width, height);
}

bool WindowSize(PortWindow* w, int* width, int* height) {
  if (w->place == PortSaverPlace::Host) return DaemonWindowSize(width, height);
  SDL_GL_GetDrawableSize(Sdl(w), width, height);
  return true;
}

bool WindowRect(PortWindow* w, RECT* rect) {
  int x, y, width, height;
  SDL_GetWindowPosition(Sdl(w), &x, &y);
  SDL_GetWindowSize(Sdl(w), &width, &height);
  *rect = {x, y, x + width, y + height};
  return true;
}

bool WindowFocused(PortWindow* w) { return (SDL_GetWindowFlags(Sdl(w)) & SDL_WINDOW_INPUT_FOCUS) != 0; }

bool MonitorBounds(int monitor, RECT* bounds) {
  SDL_Rect r;
  if (SDL_GetDisplayBounds(monitor, &r) != 0) return false;
  *bounds = {r.x, r.y, r.x + r.w, r.y + r.h};
  return true;
}

void PlaceOnMonitor(PortWindow* w, int monitor) {
  RECT b;
  if (SDL_GetWindowDisplayIndex(Sdl(w)) == monitor || !MonitorBounds(monitor, &b)) return;
  bool fullScreen = (SDL_GetWindowFlags(Sdl(w)) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
  if (fullScreen) SDL_SetWindowFullscreen(Sdl(w), 0);
  SDL_SetWindowPosition(Sdl(w), b.left, b.top);
  SDL_SetWindowSize(Sdl(w), b.right - b.left, b.bottom - b.top);
  if (fullScreen) SDL_SetWindowFullscreen(Sdl(w), SDL_WINDOW_FULLSCREEN_DESKTOP);
}

int swapInterval = -1;  // as last asked for in the current context

void* MakeGlCurrent(PortWindow* w) {
  if (!w->gl) {
    w->gl = SDL_GL_CreateContext(Sdl(w));
    swapInterval = -1;
  }
  if (w->gl) SDL_GL_MakeCurrent(Sdl(w), w->gl);
  return w->gl;
}

void Present(PortWindow* w, int waitForRefresh) {
  // Displays without vertical sync (a virtual X server) refuse; frames then
  // simply run unpaced.
  if (waitForRefresh >= 0 && waitForRefresh != swapInterval) SDL_GL_SetSwapInterval(waitForRefresh);
  if (waitForRefresh >= 0) swapInterval = waitForRefresh;
  SDL_GL_SwapWindow(Sdl(w));
}

void ShowCursor(bool shown) { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }

int MonitorCount() { return SDL_GetNumVideoDisplays(); }

std::string MonitorName(int monitor) {
  const char* name = SDL_GetDisplayName(monitor);
  return name ? name : "";
}
}  // namespace

void PortSetVideoHints() {
  // SDL keeps the screen awake unless told otherwise. A screen saver must not:
  // the monitor's power saving and the idle locker run as the user set them.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Ctrl+C in a terminal should still end the program the ordinary way.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

PortWindow* PortWindowOfSdl(uint32_t sdlId) {
  for (PortWindow* w : portWindows)
    if (w->alive && w->video == &sdlVideoDriver && w->native && SDL_GetWindowID(Sdl(w)) == sdlId) return w;
  return nullptr;
}

SDL_Window* PortSdlWindow(HWND window) {
  PortWindow* w = PortWindowOf(window);
  return w && w->video == &sdlVideoDriver ? Sdl(w) : nullptr;
}

const PortVideoDriver sdlVideoDriver = {
    "sdl",          StartVideo,    StopVideo,     OpenWindow,    CloseWindow,
    ShowWindow,     MoveWindow,    WindowSize,    WindowRect,    WindowFocused,
    PlaceOnMonitor, MakeGlCurrent, Present,       PumpSdlEvents, WaitForSdlEvents,
    ShowCursor,     MonitorCount,  MonitorBounds, MonitorName,
};
