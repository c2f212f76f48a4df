// Windows in a browser: every top-level window is the page's one canvas, shown
// as large as the page lets it be; the GL context is WebGL 2 on that canvas.
// The message queue is the shared one (message_queue.cpp), fed by the page's
// events (web_events.cpp).
#include <emscripten.h>
#include <emscripten/html5.h>

#include <map>
#include <string>

#include "directx/directx_internal.h"
#include "directx/gl_api.h"
#include "web.h"
#include "win32/win32_internal.h"

namespace {
struct WindowClass {
  WNDPROC proc;
  HBRUSH background;
  HCURSOR cursor;
};

std::map<std::string, WindowClass> classes;
BOOL screenSaverRunning = FALSE;
HCURSOR arrowCursor = reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(32512));
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE canvasContext = 0;
bool contextTried = false;

EM_JS(void, ShowPointer, (int shown), {
  var canvas = document.getElementById("glimmerz");
  if (canvas) canvas.style.cursor = shown ? "default" : "none";
});

// The canvas's drawing buffer follows its size on the page, in device pixels.
bool CanvasSize(int* width, int* height) {
  return emscripten_get_canvas_element_size(WebCanvas, width, height) == EMSCRIPTEN_RESULT_SUCCESS && *width > 0 &&
         *height > 0;
}

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE CanvasContext() {
  if (contextTried) return canvasContext;
  contextTried = true;
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  // A display has no alpha and the show no depth buffer.
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.premultipliedAlpha = EM_FALSE;
  canvasContext = emscripten_webgl_create_context(WebCanvas, &attributes);
  if (canvasContext <= 0) canvasContext = 0;
  return canvasContext;
}
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
  return w && !w->parent;
}

void* PortGlContext(HWND window) {
  if (!PortWindowHoldsPictures(window) || !CanvasContext()) return nullptr;
  PortWindow* w = PortWindowOf(window);
  w->gl = reinterpret_cast<void*>(static_cast<intptr_t>(canvasContext));
  if (emscripten_webgl_get_current_context() != canvasContext) emscripten_webgl_make_context_current(canvasContext);
  return w->gl;
}

bool PortWindowSize(HWND window, int* width, int* height) {
  return PortWindowHoldsPictures(window) && CanvasSize(width, height);
}

bool PortWindowPlacedByProgram(HWND) { return false; }

// Each show starts as a process of its own would: no windows, no classes.
void PortExit() {
  for (PortWindow* w : portWindows) {
    if (w->alive) RemoveHandle(windowHandles, (uintptr_t)w->handle);
    delete w;
  }
  portWindows.clear();
  classes.clear();
  screenSaverRunning = FALSE;
  ShowPointer(1);
}

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
  if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpszClassName ||
      !windowClass->lpfnWndProc)
    return 0;
  if (classes.count(windowClass->lpszClassName)) return 0;
  classes[windowClass->lpszClassName] = {windowClass->lpfnWndProc, windowClass->hbrBackground, windowClass->hCursor};
  return (ATOM)classes.size();
}

// Only top-level windows: a child would live in another program's window,
// which a page has none of.
HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD style, int, int, int, int, HWND parent, HMENU,
                     HINSTANCE, LPVOID) {
  auto found = className ? classes.find(className) : classes.end();
  if (found == classes.end() || (style & WS_CHILD) || parent) return nullptr;
  auto* w = new PortWindow;
  w->className = className;
  w->proc = found->second.proc;
  w->background = found->second.background;
  w->cursor = found->second.cursor;
  w->handle = reinterpret_cast<HWND>(AddHandle(windowHandles, HandleKind::Window, w));
  if (!w->handle) {
    delete w;
    return nullptr;
  }
  portWindows.push_back(w);
  HWND handle = w->handle;
  if (w->proc(handle, WM_CREATE, 0, 0) == -1) {
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
  w->gl = nullptr;
  RemoveHandle(windowHandles, (uintptr_t)window);
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  BOOL wasVisible = w->visible;
  w->visible = command != SW_HIDE;
  if (w->visible && !wasVisible) {
    // Asked for its cursor at once, so a saver hides the pointer before it moves.
    PostMessageA(window, WM_SETCURSOR, (WPARAM)window, (LPARAM)(HTCLIENT | WM_MOUSEMOVE << 16));
    w->needsPaint = w->erase = true;
  }
  return wasVisible;
}

BOOL IsWindow(HWND window) { return PortWindowOf(window) != nullptr; }

// The canvas keeps the page's size; a window moved over "the screen" is already there.
BOOL MoveWindow(HWND window, int, int, int, int, BOOL repaint) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  if (repaint) w->needsPaint = true;
  return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect) {
  int width, height;
  if (!rect || !PortWindowSize(window, &width, &height)) return FALSE;
  *rect = {0, 0, width, height};
  return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) { return GetClientRect(window, rect); }

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = arrowCursor;
  HCURSOR previous = current;
  current = cursor;
  ShowPointer(cursor ? 1 : 0);
  return previous;
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) { return !instance && name == IDC_ARROW ? arrowCursor : nullptr; }

// The screen is what the page gives the canvas.
int GetSystemMetrics(int index) {
  int width, height;
  if (!CanvasSize(&width, &height)) return 0;
  if (index == SM_CXSCREEN) return width;
  if (index == SM_CYSCREEN) return height;
  return 0;
}

BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID value, UINT) {
  if (action != SPI_SCREENSAVERRUNNING) return FALSE;
  if (value) *static_cast<BOOL*>(value) = screenSaverRunning;
  screenSaverRunning = param ? TRUE : FALSE;
  return TRUE;
}

HWND GetForegroundWindow() {
  for (PortWindow* w : portWindows)
    if (w->alive) return w->handle;
  return nullptr;
}

// Painting: a paint cycle that validates the window, and plain fills as GL clears.
HGDIOBJ GetStockObject(int object) { return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(object + 1)); }

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
  PortWindow* w = PortWindowOf(window);
  if (!w) return FALSE;
  w->needsPaint = true;
  w->erase = w->erase || erase;
  return TRUE;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  PortWindow* w = PortWindowOf(window);
  if (!w || !paint) return nullptr;
  *paint = PAINTSTRUCT();
  paint->hdc = reinterpret_cast<HDC>(window);
  GetClientRect(window, &paint->rcPaint);
  if (w->erase && w->background) FillRect(paint->hdc, &paint->rcPaint, w->background);
  paint->fErase = w->erase && !w->background;
  w->needsPaint = w->erase = false;
  return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) { return PortWindowOf(window) != nullptr; }

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  HWND window = reinterpret_cast<HWND>(dc);
  int stock = (int)reinterpret_cast<intptr_t>(brush) - 1;
  if (!PortWindowOf(window) || !rect || (stock != BLACK_BRUSH && stock != WHITE_BRUSH)) return 0;
  int width, height;
  if (!PortGlContext(window) || !PortWindowSize(window, &width, &height)) return 1;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glEnable(GL_SCISSOR_TEST);
  glScissor(rect->left, height - rect->bottom, rect->right - rect->left, rect->bottom - rect->top);
  float level = stock == WHITE_BRUSH ? 1.0f : 0.0f;
  glClearColor(level, level, level, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  ForgetGlState();
  return 1;
}
