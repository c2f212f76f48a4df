// Window classes, windows, the screen, the cursor and the screen-saver flag,
// over whichever video driver the system has (driver.h). A child window lives
// inside another program's window, where the system has such windows. The
// message queue lives in message_queue.cpp.
#include <map>
#include <string>

#include "driver.h"

namespace {
struct WindowClass {
  WNDPROC proc;
  HBRUSH background;
  HCURSOR cursor;
};

std::map<std::string, WindowClass> classes;
BOOL screenSaverRunning = FALSE;
HCURSOR arrowCursor = reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(32512));
}  // namespace

std::vector<PortWindow*> portWindows;
HandleTable windowHandles{false, {}};

PortWindow* PortWindowOf(HWND window) {
  auto* w = static_cast<PortWindow*>(FindHandle(windowHandles, (uintptr_t)window, HandleKind::Window));
  if (!w && window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

bool PortWindowHoldsPictures(HWND window) {
  PortWindow* w = PortWindowOf(window);
  return w && w->video;
}

void* PortGlContext(HWND window) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !w->video) return nullptr;
  w->gl = w->video->makeGlCurrent(w);
  return w->gl;
}

bool PortWindowSize(HWND window, int* width, int* height) {
  PortWindow* w = PortWindowOf(window);
  return w && w->video && w->video->windowSize(w, width, height);
}

bool PortWindowPlacedByProgram(HWND window) {
  PortWindow* w = PortWindowOf(window);
  return w && w->video && w->place == PortSaverPlace::Ordinary && w->video->moveWindow;
}

// Each show starts as a process of its own would: no windows, no classes.
void PortExit() {
  for (PortWindow* w : portWindows) {
    if (w->alive) RemoveHandle(windowHandles, (uintptr_t)w->handle);
    if (w->video) w->video->closeWindow(w);
    delete w;
  }
  portWindows.clear();
  classes.clear();
  screenSaverRunning = FALSE;
  PortStopVideo();
  PortCloseForeignWindows();
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpszClassName ||
      !windowClass->lpfnWndProc)
    return 0;
  if (classes.count(windowClass->lpszClassName)) return 0;
  classes[windowClass->lpszClassName] = {windowClass->lpfnWndProc, windowClass->hbrBackground, windowClass->hCursor};
  return (ATOM)classes.size();
}

static bool OpenWindow(PortWindow* w, DWORD exStyle, DWORD style, LPCSTR title, int x, int y, int width, int height) {
  // A child lives in another program's window, and needs no video of ours.
  if (style & WS_CHILD) return portForeignWindows && portForeignWindows->openChild(w, w->parent, x, y, width, height);
  const PortVideoDriver* video = PortVideo();
  if (!video || !video->openWindow(w, exStyle, title ? title : "", x, y, width, height)) return false;
  w->video = video;
  return true;
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
  if (!OpenWindow(w, exStyle, style, title, x, y, width, height)) {
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
  if (w->video) w->video->closeWindow(w);
  w->video = nullptr;
  w->gl = nullptr;
  if (w->xid) portForeignWindows->closeChild(w);
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  BOOL wasVisible = w->visible;
  if (w->xid) {
    portForeignWindows->showChild(w, command != SW_HIDE);
    // The server paints the class background when the child appears.
    w->visible = w->needsPaint = command != SW_HIDE;
  } else if (command == SW_HIDE) {
    if (w->video) w->video->showWindow(w, false);
    w->visible = false;
  } else {
    // The daemon's window is the daemon's to map and stack.
    if (w->video && w->place != PortSaverPlace::Host) w->video->showWindow(w, true);
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

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  if (PortDialogMove(window, x, y, width, height)) return TRUE;
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  if (PortWindowPlacedByProgram(window)) w->video->moveWindow(w, x, y, width, height);
  if (repaint) w->needsPaint = true;
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !rect) return FALSE;
  if (w->xid) return portForeignWindows->childRect(w, rect, true);
  int width, height;
  if (!PortWindowSize(window, &width, &height)) return FALSE;
  *rect = {0, 0, width, height};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
  if (PortDialogWindowRect(window, rect)) return TRUE;
  PortWindow* w = PortWindowOf(window);
  // A handle that is none of ours may be another program's window: handles
  // given on a command line are the system's own window ids.
  if (!w) return rect && IsForeignWindow(window) && portForeignWindows && portForeignWindows->windowRect(window, rect);
  if (!rect) return FALSE;
  if (w->xid) return portForeignWindows->childRect(w, rect, false);
  return w->video && w->video->windowRect(w, rect);
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = arrowCursor;
  HCURSOR previous = current;
  current = cursor;
  if (const PortVideoDriver* video = PortVideo()) video->showCursor(cursor != nullptr);
  return previous;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return !instance && name == IDC_ARROW ? arrowCursor : nullptr; }

int GetSystemMetrics(int index) {
  const PortVideoDriver* video = PortVideo();
  RECT screen;
  if (!video || !video->monitorBounds(0, &screen)) return 0;
  if (index == SM_CXSCREEN) return screen.right - screen.left;
  if (index == SM_CYSCREEN) return screen.bottom - screen.top;
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
    if (w->alive && w->video && w->video->windowFocused(w)) return w->handle;
  // Otherwise the desktop's active window, which may be another program's.
  return portForeignWindows ? portForeignWindows->activeWindow() : nullptr;
}
