// The show's window on Wayland: an overlay layer surface on every output,
// anchored to all its edges, above every other window and holding the keyboard.
// One EGL context draws the picture into the first output's surface; each
// present copies it to the other outputs, scaled to fit with its shape kept.
#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstdlib>

#include "directx/gl_program.h"
#include "wayland.h"
#include "layer_shell.h"

extern zwlr_layer_shell_v1* waylandLayerShell;
extern wl_compositor* waylandCompositor;

namespace {
EGLDisplay eglDisplay = EGL_NO_DISPLAY;
EGLConfig eglConfig = nullptr;
EGLContext eglContext = EGL_NO_CONTEXT;
int swapInterval = -1;
// The first output's picture, kept for the others.
GLuint copyFramebuffer = 0;
GLuint copyTexture = 0;
int copyWidth = 0, copyHeight = 0;

void OnConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
  auto* o = static_cast<WaylandOutput*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  o->surfaceWidth = width > 0 ? (int)width : o->width;
  o->surfaceHeight = height > 0 ? (int)height : o->height;
  o->configured = true;
  if (o->eglWindow) wl_egl_window_resize(o->eglWindow, o->surfaceWidth, o->surfaceHeight, 0, 0);
  if (wayland.window) wayland.window->needsPaint = true;
}

void OnClosed(void* data, zwlr_layer_surface_v1*) { CloseWaylandSurface(static_cast<WaylandOutput*>(data)); }

const zwlr_layer_surface_v1_listener layerListener = {OnConfigure, OnClosed};

bool StartEgl() {
  if (eglDisplay != EGL_NO_DISPLAY) return true;
  eglDisplay = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(wayland.display));
  if (eglDisplay == EGL_NO_DISPLAY || !eglInitialize(eglDisplay, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API)) {
    eglDisplay = EGL_NO_DISPLAY;
    return false;
  }
  // A display has no alpha and the show no depth buffer.
  const EGLint wanted[] = {EGL_SURFACE_TYPE,
                           EGL_WINDOW_BIT,
                           EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT,
                           EGL_RED_SIZE,
                           8,
                           EGL_GREEN_SIZE,
                           8,
                           EGL_BLUE_SIZE,
                           8,
                           EGL_ALPHA_SIZE,
                           0,
                           EGL_DEPTH_SIZE,
                           0,
                           EGL_NONE};
  EGLint found = 0;
  if (!eglChooseConfig(eglDisplay, wanted, &eglConfig, 1, &found) || found < 1) {
    eglTerminate(eglDisplay);
    eglDisplay = EGL_NO_DISPLAY;
    return false;
  }
  return true;
}

void DropContext() {
  if (eglContext == EGL_NO_CONTEXT) return;
  eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(eglDisplay, eglContext);
  eglContext = EGL_NO_CONTEXT;
}

void StopEgl() {
  if (eglDisplay == EGL_NO_DISPLAY) return;
  DropContext();
  eglTerminate(eglDisplay);
  eglDisplay = EGL_NO_DISPLAY;
}

// A surface takes no buffer before the compositor has configured it.
bool Drawable(const WaylandOutput* o) { return o->eglSurface && o->configured; }

WaylandOutput* FirstOutput() {
  for (WaylandOutput* o : wayland.outputs)
    if (Drawable(o)) return o;
  return nullptr;
}

bool Start() {
  // A daemon's or a trial window is an ordinary window: the SDL driver's.
  if (PortChosenSaverPlace() != PortSaverPlace::Ordinary || !std::getenv("WAYLAND_DISPLAY")) return false;
  return ConnectWayland();
}

void Stop() {
  StopEgl();
  DisconnectWayland();
}

bool OpenWindow(PortWindow* w, DWORD, const char*, int, int, int, int) {
  if (wayland.window || w->parent || !StartEgl()) return false;
  wayland.window = w;
  for (WaylandOutput* o : wayland.outputs) OpenWaylandSurface(o);
  // The outputs' surfaces are ready once configured.
  wl_display_roundtrip(wayland.display);
  if (FirstOutput()) return true;
  wayland.window = nullptr;
  return false;
}

void CloseWindow(PortWindow* w) {
  if (wayland.window != w) return;
  for (WaylandOutput* o : wayland.outputs) CloseWaylandSurface(o);
  DropContext();
  copyFramebuffer = copyTexture = 0;
  w->gl = nullptr;
  wayland.window = nullptr;
  wl_display_flush(wayland.display);
}

// Layer surfaces show from their first frame and cannot be hidden but by
// ending them; the show hides its window only to end it.
void ShowWindow(PortWindow*, bool) {}

bool WindowSize(PortWindow*, int* width, int* height) {
  WaylandOutput* o = FirstOutput();
  if (!o) return false;
  *width = o->surfaceWidth;
  *height = o->surfaceHeight;
  return true;
}

bool WindowRect(PortWindow* w, RECT* rect) {
  WaylandOutput* o = FirstOutput();
  if (!o) return false;
  *rect = {o->x, o->y, o->x + o->surfaceWidth, o->y + o->surfaceHeight};
  return true;
}

bool WindowFocused(PortWindow*) { return true; }

void* MakeGlCurrent(PortWindow* w) {
  WaylandOutput* first = FirstOutput();
  if (!first) return nullptr;
  if (eglContext == EGL_NO_CONTEXT) {
    eglContext = eglCreateContext(eglDisplay, eglConfig, EGL_NO_CONTEXT, nullptr);
    swapInterval = -1;
  }
  if (eglContext == EGL_NO_CONTEXT) return nullptr;
  EGLSurface surface = static_cast<EGLSurface>(first->eglSurface);
  if (!eglMakeCurrent(eglDisplay, surface, surface, eglContext)) return nullptr;
  w->gl = eglContext;
  return w->gl;
}

// Fits the first output's picture into another output, aspect kept, black around.
void ShowCopyOn(WaylandOutput* o) {
  EGLSurface surface = static_cast<EGLSurface>(o->eglSurface);
  if (!eglMakeCurrent(eglDisplay, surface, surface, eglContext)) return;
  BlitPicture(copyFramebuffer, copyWidth, copyHeight,
              ClearAroundPicture(copyWidth, copyHeight, o->surfaceWidth, o->surfaceHeight));
  eglSwapInterval(eglDisplay, 0);
  eglSwapBuffers(eglDisplay, surface);
}

void Present(PortWindow* w, int waitForRefresh) {
  WaylandOutput* first = FirstOutput();
  if (!first || eglContext == EGL_NO_CONTEXT) return;
  bool others = false;
  for (WaylandOutput* o : wayland.outputs) others = others || (o != first && Drawable(o));
  if (others) {
    // The picture leaves the first surface's buffer with its swap: keep it.
    if (copyWidth != first->surfaceWidth || copyHeight != first->surfaceHeight || !copyFramebuffer) {
      copyWidth = first->surfaceWidth;
      copyHeight = first->surfaceHeight;
      MakeGlColourTarget(&copyFramebuffer, &copyTexture, copyWidth, copyHeight);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, copyFramebuffer);
    glBlitFramebuffer(0, 0, copyWidth, copyHeight, 0, 0, copyWidth, copyHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    ForgetGlState();
  }
  if (waitForRefresh >= 0 && waitForRefresh != swapInterval) eglSwapInterval(eglDisplay, waitForRefresh);
  if (waitForRefresh >= 0) swapInterval = waitForRefresh;
  eglSwapBuffers(eglDisplay, static_cast<EGLSurface>(first->eglSurface));
  if (!others) return;
  for (WaylandOutput* o : wayland.outputs)
    if (o != first && Drawable(o)) ShowCopyOn(o);
  MakeGlCurrent(w);
}

void PumpEvents() { DispatchWayland(); }

void WaitForEvents(int untilTimer) { WaitForWayland(untilTimer >= 0 && untilTimer < 10 ? untilTimer : 10); }

int MonitorCount() { return (int)wayland.outputs.size(); }

bool MonitorBounds(int monitor, RECT* bounds) {
  if (monitor < 0 || monitor >= (int)wayland.outputs.size()) return false;
  const WaylandOutput* o = wayland.outputs[monitor];
  if (o->width <= 0 || o->height <= 0) return false;
  *bounds = {o->x, o->y, o->x + o->width, o->y + o->height};
  return true;
}

std::string MonitorName(int monitor) {
  return monitor >= 0 && monitor < (int)wayland.outputs.size() ? wayland.outputs[monitor]->model : "";
}
}  // namespace

void OpenWaylandSurface(WaylandOutput* o) {
  if (o->layer || !wayland.window || !waylandLayerShell) return;
  o->surface = wl_compositor_create_surface(waylandCompositor);
  o->layer = zwlr_layer_shell_v1_get_layer_surface(waylandLayerShell, o->surface, o->output,
                                                   ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "glimmerz");
  zwlr_layer_surface_v1_add_listener(o->layer, &layerListener, o);
  zwlr_layer_surface_v1_set_anchor(o->layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_exclusive_zone(o->layer, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(o->layer, 1);
  wl_surface_commit(o->surface);
  int width = o->width > 0 ? o->width : 640, height = o->height > 0 ? o->height : 480;
  o->eglWindow = wl_egl_window_create(o->surface, width, height);
  o->eglSurface = o->eglWindow ? eglCreateWindowSurface(eglDisplay, eglConfig,
                                                        reinterpret_cast<EGLNativeWindowType>(o->eglWindow), nullptr)
                               : nullptr;
  if (o->eglSurface == EGL_NO_SURFACE) o->eglSurface = nullptr;
  o->surfaceWidth = width;
  o->surfaceHeight = height;
}

void CloseWaylandSurface(WaylandOutput* o) {
  if (o->eglSurface) {
    if (eglGetCurrentSurface(EGL_DRAW) == o->eglSurface)
      eglMakeCurrent(eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(eglDisplay, static_cast<EGLSurface>(o->eglSurface));
  }
  if (o->eglWindow) wl_egl_window_destroy(o->eglWindow);
  if (o->layer) zwlr_layer_surface_v1_destroy(o->layer);
  if (o->surface) wl_surface_destroy(o->surface);
  o->eglSurface = nullptr;
  o->eglWindow = nullptr;
  o->layer = nullptr;
  o->surface = nullptr;
  o->configured = false;
}

const PortVideoDriver waylandVideoDriver = {
    "wayland",    Start,         Stop,        OpenWindow,    CloseWindow, ShowWindow, nullptr,       WindowSize,
    WindowRect,   WindowFocused, nullptr,     MakeGlCurrent, Present,     PumpEvents, WaitForEvents, ShowWaylandCursor,
    MonitorCount, MonitorBounds, MonitorName,
};
