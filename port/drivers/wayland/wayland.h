// The Wayland video driver: the show on every output of a Wayland session, one
// overlay layer surface each (wlr-layer-shell), the picture drawn once with
// EGL and shown on each output with its shape kept. Compositors without the
// layer shell are left to the SDL driver's full-screen window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver.h"

struct wl_display;
struct wl_surface;
struct wl_output;
struct wl_egl_window;
struct zwlr_layer_surface_v1;

extern const PortVideoDriver waylandVideoDriver;

// One output of the session and the show's surface on it, if any.
struct WaylandOutput {
  uint32_t name = 0;  // the registry's
  wl_output* output = nullptr;
  int x = 0, y = 0;           // in the compositor's space
  int width = 0, height = 0;  // the current mode, in pixels
  std::string model;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  wl_egl_window* eglWindow = nullptr;
  void* eglSurface = nullptr;
  int surfaceWidth = 0, surfaceHeight = 0;  // as the compositor configured it
  bool configured = false;
};

struct WaylandState {
  wl_display* display = nullptr;
  std::vector<WaylandOutput*> outputs;
  PortWindow* window = nullptr;  // the show's one window, while it is open
};
extern WaylandState wayland;

// The connection (wayland_connection.cpp): connects and learns the globals;
// false without a compositor that offers the layer shell.
bool ConnectWayland();
void DisconnectWayland();
// Reads and handles what the compositor sent, without waiting; and waits
// timeoutMs at most for more.
void DispatchWayland();
void WaitForWayland(int timeoutMs);
// The output a surface shows on, or null.
WaylandOutput* WaylandOutputOf(wl_surface* surface);
// The pointer's cursor on the show's surfaces.
void ShowWaylandCursor(bool shown);

// The show's surfaces (wayland_windows.cpp): made on an output when it comes
// and when the window opens, ended when it goes.
void OpenWaylandSurface(WaylandOutput* o);
void CloseWaylandSurface(WaylandOutput* o);
