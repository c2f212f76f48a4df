// Windows on SDL2: window classes, top-level windows, the screen, the cursor and
// the screen-saver flag. The message queue lives in messages.cpp.
#include <SDL.h>

#include <map>
#include <string>

#include "dialog/dialog.h"
#include "port_internal.h"
#include "win32_internal.h"

namespace {
struct WindowClass {
  WNDPROC proc;
  HBRUSH background;
  HCURSOR cursor;
};

std::map<std::string, WindowClass> classes;
bool videoTried = false;
bool videoReady = false;
BOOL screenSaverRunning = FALSE;
HCURSOR arrowCursor = reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(32512));
}  // namespace

std::vector<PortWindow*> portWindows;
HandleTable windowHandles{false, {}};

void PortSetVideoHints() {
  // SDL keeps the screen awake unless told otherwise. A screen saver must not:
  // the monitor's power saving and the idle locker run as the user set them.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // Ctrl+C in a terminal should still end the program the ordinary way.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

bool PortVideoReady() {
  if (videoTried) return videoReady;
  videoTried = true;
  PortSetVideoHints();
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "1");
  // The saver draws on X11 (XWayland on a Wayland desktop). Without a usable
  // display SDL would fall back to its offscreen driver: a saver nobody can see
  // or end. Only X11 is tried, so no display means no window, and the mode ends.
  // An SDL_VIDEODRIVER of the user's own still wins over this.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
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

bool PortVideoRunning() { return videoTried && videoReady; }

PortWindow* PortWindowOf(HWND window) {
  auto* w = static_cast<PortWindow*>(FindHandle(windowHandles, (uintptr_t)window, HandleKind::Window));
  if (!w && window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

PortWindow* PortWindowOfSdl(uint32_t sdlId) {
  for (PortWindow* w : portWindows)
    if (w->alive && w->sdl && SDL_GetWindowID(w->sdl) == sdlId) return w;
  return nullptr;
}

SDL_Window* PortSdlWindow(HWND window) {
  PortWindow* w = PortWindowOf(window);
  return w ? w->sdl : nullptr;
}

bool PortWindowHoldsPictures(HWND window) { return PortSdlWindow(window) != nullptr; }

void* PortGlContext(HWND window) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !w->sdl) return nullptr;
  if (!w->gl) w->gl = SDL_GL_CreateContext(w->sdl);
  if (w->gl) SDL_GL_MakeCurrent(w->sdl, w->gl);
  return w->gl;
}

void PortExit() {
  for (PortWindow* w : portWindows) {
    if (w->gl) SDL_GL_DeleteContext(w->gl);
    if (w->sdl) SDL_DestroyWindow(w->sdl);
    delete w;
  }
  portWindows.clear();
  if (videoReady) SDL_Quit();
  PortX11Close();
  videoTried = videoReady = false;
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpszClassName ||
      !windowClass->lpfnWndProc)
    return 0;
  if (classes.count(windowClass->lpszClassName)) return 0;
  classes[windowClass->lpszClassName] = {windowClass->lpfnWndProc, windowClass->hbrBackground, windowClass->hCursor};
  return (ATOM)classes.size();
}

static SDL_Window* CreateSdlWindow(PortSaverPlace place, DWORD exStyle, LPCSTR title, int x, int y, int width,
                                   int height) {
  if (!PortVideoReady()) return nullptr;
  if (place != PortSaverPlace::Ordinary) return CreateDaemonSdlWindow(title ? title : "", 800, 600);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
  if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Rect screen;
  if (SDL_GetDisplayBounds(0, &screen) == 0 && x == screen.x && y == screen.y && width == screen.w &&
      height == screen.h)
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  return SDL_CreateWindow(title ? title : "", x, y, width > 0 ? width : 1, height > 0 ? height : 1, flags);
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU, HINSTANCE, LPVOID) {
  auto found = className ? classes.find(className) : classes.end();
  if (found == classes.end()) return nullptr;
  auto* w = new PortWindow;
  w->className = className;
  w->proc = found->second.proc;
  w->background = found->second.background;
  w->cursor = found->second.cursor;
  w->parent = parent;
  // A daemon's show has one top-level window, the saver's, and it goes where the daemon says.
  w->place = style & WS_CHILD || parent ? PortSaverPlace::Ordinary : PortChosenSaverPlace();
  // A child lives in another program's window: Xlib, not SDL, and no SDL video.
  bool made = style & WS_CHILD ? PortOpenChildWindow(w, parent, x, y, width, height)
                               : (w->sdl = CreateSdlWindow(w->place, exStyle, title, x, y, width, height)) != nullptr;
  if (!made) {
    delete w;
    return nullptr;
  }
  w->handle = reinterpret_cast<HWND>(AddHandle(windowHandles, HandleKind::Window, w));
  portWindows.push_back(w);
  HWND handle = w->handle;
  if (!handle || w->proc(handle, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  return handle;
}


BOOL DestroyWindow(HWND window) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  w->proc(window, WM_DESTROY, 0, 0);
  w->alive = false;
  RemoveHandle(windowHandles, (uintptr_t)window);
  if (w->gl) SDL_GL_DeleteContext(w->gl);
  w->gl = nullptr;
  if (w->sdl) SDL_DestroyWindow(w->sdl);
  w->sdl = nullptr;
  PortCloseChildWindow(w);
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  BOOL wasVisible = w->visible;
  if (w->xid) {
    PortShowChildWindow(w, command != SW_HIDE);
    // The server paints the class background when the child appears.
    w->visible = w->needsPaint = command != SW_HIDE;
  } else if (command == SW_HIDE) {
    SDL_HideWindow(w->sdl);
    w->visible = false;
  } else {
    // The daemon's window is the daemon's to map and stack.
    if (w->place != PortSaverPlace::Host) {
      SDL_ShowWindow(w->sdl);
      SDL_RaiseWindow(w->sdl);
    }
    // A window that appears under the pointer is asked for its cursor at once,
    // so a saver hides the pointer before the mouse ever moves.
    if (!w->visible) PostMessageA(window, WM_SETCURSOR, (WPARAM)window, (LPARAM)(HTCLIENT | WM_MOUSEMOVE << 16));
    w->visible = true;
    w->needsPaint = true;
    w->erase = true;
  }
  return wasVisible;
}

BOOL IsWindow(HWND window) { return PortWindowOf(window) != nullptr; }

bool PortWindowPlacedByProgram(HWND window) {
  PortWindow* w = PortWindowOf(window);
  return w && w->sdl && w->place == PortSaverPlace::Ordinary;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  if (PortDialogMove(window, x, y, width, height)) return TRUE;
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  if (PortWindowPlacedByProgram(window)) {
    SDL_SetWindowPosition(w->sdl, x, y);
    SDL_SetWindowSize(w->sdl, width, height);
  }
  if (repaint) w->needsPaint = true;
  return TRUE;
}

bool PortWindowSize(HWND window, int* width, int* height) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !w->sdl) return false;
  if (w->place == PortSaverPlace::Host) return DaemonWindowSize(width, height);
  SDL_GL_GetDrawableSize(w->sdl, width, height);
  return true;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !rect) return FALSE;
  if (w->xid) return PortChildWindowRect(w, rect, true);
  int width, height;
  if (!PortWindowSize(window, &width, &height)) return FALSE;
  *rect = {0, 0, width, height};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  if (PortDialogWindowRect(window, rect)) return TRUE;
  PortWindow* w = PortWindowOf(window);
  // A handle that is none of ours may be another program's window: on this
  // system handles given on a command line are X11 window ids.
  if (!w) return rect && IsForeignWindow(window) && PortX11WindowRect((unsigned long)(uintptr_t)window, rect);
  if (!rect) return FALSE;
  if (w->xid) return PortChildWindowRect(w, rect, false);
  int x, y, width, height;
  SDL_GetWindowPosition(w->sdl, &x, &y);
  SDL_GetWindowSize(w->sdl, &width, &height);
  *rect = {x, y, x + width, y + height};
  return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = arrowCursor;
  HCURSOR previous = current;
  current = cursor;
  if (PortVideoReady()) SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
  return previous;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return !instance && name == IDC_ARROW ? arrowCursor : nullptr; }

int GetSystemMetrics(int index) {
  SDL_Rect screen;
  if (!PortVideoReady() || SDL_GetDisplayBounds(0, &screen) != 0) return 0;
  if (index == SM_CXSCREEN) return screen.w;
  if (index == SM_CYSCREEN) return screen.h;
  return 0;
}

// The desktop has its own idle handling; the flag only tells whoever asks
// whether a saver is up.
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID value, UINT) {
  if (action != SPI_SCREENSAVERRUNNING) return FALSE;
  if (value) *static_cast<BOOL*>(value) = screenSaverRunning;
  screenSaverRunning = param ? TRUE : FALSE;
  return TRUE;
}

HWND GetForegroundWindow() {
  for (PortWindow* w : portWindows)
    if (w->alive && w->sdl && (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_INPUT_FOCUS)) return w->handle;
  // Otherwise the desktop's active window, by its X11 id.
  return reinterpret_cast<HWND>((uintptr_t)PortX11ActiveWindow());
}
