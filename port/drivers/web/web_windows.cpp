// The page's video driver: every top-level window is the page's one canvas,
// shown as large as the page lets it be; the GL context is WebGL 2 on that
// canvas. Input arrives through web_events.cpp.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "driver.h"
#include "web.h"

namespace {
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE canvasContext = 0;
bool contextTried = false;

// clang-format off
EM_JS(void, ShowPointer, (int shown), {
  var canvas = document.getElementById("glimmerz");
  if (canvas) canvas.style.cursor = shown ? "default" : "none";
});
// clang-format on

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
// clang-format off
EM_JS(int, ScreenPixels, (int height), {
  var scale = window.devicePixelRatio || 1;
  return Math.round((height ? screen.height : screen.width) * scale);
});
// clang-format on

bool Start() { return true; }

void Stop() { ShowPointer(1); }

// Only top-level windows: a child would live in another program's window,
// which a page has none of. The canvas's context is the window's from the start.
bool OpenWindow(PortWindow* w, DWORD, const char*, int, int, int, int) {
  if (w->parent) return false;
  w->gl = CanvasContext() ? reinterpret_cast<void*>(static_cast<intptr_t>(canvasContext)) : nullptr;
  return true;
}

void CloseWindow(PortWindow* w) { w->gl = nullptr; }

void ShowWindow(PortWindow*, bool) {}

bool WindowSize(PortWindow*, int* width, int* height) { return CanvasSize(width, height); }

bool WindowRect(PortWindow*, RECT* rect) {
  int width, height;
  if (!CanvasSize(&width, &height)) return false;
  *rect = {0, 0, width, height};
  return true;
}

bool WindowFocused(PortWindow*) { return true; }

void* MakeGlCurrent(PortWindow* w) {
  if (!CanvasContext()) return nullptr;
  w->gl = reinterpret_cast<void*>(static_cast<intptr_t>(canvasContext));
  if (emscripten_webgl_get_current_context() != canvasContext) emscripten_webgl_make_context_current(canvasContext);
  return w->gl;
}

// The browser shows the canvas once the program lets it in (WebAwaitNextFrame).
void Present(PortWindow*, int) {}

void PumpEvents() {}

void WaitForEvents(int untilTimer) { WebSleep(untilTimer >= 0 && untilTimer < 10 ? untilTimer : 10); }

void ShowCursor(bool shown) { ShowPointer(shown ? 1 : 0); }

// A page has one monitor: the browser's screen, in device pixels.
int MonitorCount() { return 1; }

bool MonitorBounds(int monitor, RECT* bounds) {
  if (monitor != 0) return false;
  *bounds = {0, 0, ScreenPixels(0), ScreenPixels(1)};
  return bounds->right > 0 && bounds->bottom > 0;
}

std::string MonitorName(int) { return ""; }

const PortVideoDriver webVideoDriver = {
    "web",         Start,      Stop,          OpenWindow,    CloseWindow,   ShowWindow, nullptr,
    WindowSize,    WindowRect, WindowFocused, nullptr,       MakeGlCurrent, Present,    PumpEvents,
    WaitForEvents, ShowCursor, MonitorCount,  MonitorBounds, MonitorName,
};
}  // namespace

const PortVideoDriver* const portVideoDrivers[] = {&webVideoDriver};
const int portVideoDriverCount = 1;
