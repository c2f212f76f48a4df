// The connection to the compositor: its globals (the layer shell, the outputs
// as they come and go, the seat) and the seat's keyboard and pointer, whose
// events become the show window's messages.
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "drivers/linux/linux.h"
#include "wayland.h"
#include "layer_shell.h"

WaylandState wayland;
zwlr_layer_shell_v1* waylandLayerShell = nullptr;
wl_compositor* waylandCompositor = nullptr;

namespace {
wl_registry* registry = nullptr;
wl_seat* seat = nullptr;
wl_keyboard* keyboard = nullptr;
wl_pointer* pointer = nullptr;
uint32_t pointerSerial = 0;
bool cursorShown = true;
bool keyboardFocused = false;
bool keyboardLeft = false;
int pointerX = 0, pointerY = 0;

void Post(UINT message, WPARAM wParam, LPARAM lParam) {
  if (wayland.window) PortPost(wayland.window, message, wParam, lParam);
}

// Linux input codes of the keys the program tells apart.
WPARAM VirtualKey(uint32_t code) {
  static const char letters[] = "QWERTYUIOP\0\0\0\0ASDFGHJKL\0\0\0\0\0ZXCVBNM";
  if (code == 1) return VK_ESCAPE;
  if (code == 28) return 0x0D;
  if (code == 57) return ' ';
  if (code >= 2 && code <= 11) return code == 11 ? '0' : '0' + (code - 1);
  if (code >= 16 && code < 16 + sizeof letters - 1 && letters[code - 16]) return (WPARAM)letters[code - 16];
  return (WPARAM)(code & 0xFF);
}

void OnOutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
                      const char* model, int32_t) {
  auto* o = static_cast<WaylandOutput*>(data);
  o->x = x;
  o->y = y;
  o->model = model ? model : "";
}

void OnOutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* o = static_cast<WaylandOutput*>(data);
  if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
  o->width = width;
  o->height = height;
}

// An output is ready once described; the show then covers it too.
void OnOutputDone(void* data, wl_output*) {
  auto* o = static_cast<WaylandOutput*>(data);
  if (wayland.window && !o->layer) OpenWaylandSurface(o);
}

void OnOutputScale(void*, wl_output*, int32_t) {}

// Listeners are filled by name: newer protocol headers add events this
// driver never binds the versions of.
wl_output_listener OutputListener() {
  wl_output_listener l = {};
  l.geometry = OnOutputGeometry;
  l.mode = OnOutputMode;
  l.done = OnOutputDone;
  l.scale = OnOutputScale;
  return l;
}
const wl_output_listener outputListener = OutputListener();

void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }

// The keyboard moves between the show's own surfaces when an output goes:
// only a leave that no enter follows in the same batch is the show losing it.
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
  if (!keyboardFocused) {
    Post(WM_ACTIVATEAPP, TRUE, 0);
    Post(WM_NCACTIVATE, TRUE, 0);
    Post(WM_ACTIVATE, WA_ACTIVE, 0);
  }
  keyboardFocused = true;
  keyboardLeft = false;
}

void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) { keyboardLeft = true; }

void NoteKeyboardLost() {
  if (!keyboardLeft) return;
  keyboardLeft = keyboardFocused = false;
  Post(WM_NCACTIVATE, FALSE, 0);
  Post(WM_ACTIVATE, WA_INACTIVE, 0);
  Post(WM_ACTIVATEAPP, FALSE, 0);
}

void OnKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t code, uint32_t state) {
  bool down = state == WL_KEYBOARD_KEY_STATE_PRESSED;
  Post(down ? WM_KEYDOWN : WM_KEYUP, VirtualKey(code), PortMakeLParam(1, (int)(code + 8)));
}

void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}

void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

wl_keyboard_listener KeyboardListener() {
  wl_keyboard_listener l = {};
  l.keymap = OnKeymap;
  l.enter = OnKeyboardEnter;
  l.leave = OnKeyboardLeave;
  l.key = OnKey;
  l.modifiers = OnModifiers;
  l.repeat_info = OnRepeatInfo;
  return l;
}
const wl_keyboard_listener keyboardListener = KeyboardListener();

// A surface the pointer enters or crosses is asked for its cursor, as on the desktop.
void MovePointer(wl_fixed_t x, wl_fixed_t y) {
  pointerX = wl_fixed_to_int(x);
  pointerY = wl_fixed_to_int(y);
  Post(WM_SETCURSOR, (WPARAM)(wayland.window ? wayland.window->handle : nullptr),
       PortMakeLParam(HTCLIENT, WM_MOUSEMOVE));
}

void OnPointerEnter(void*, wl_pointer*, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
  pointerSerial = serial;
  if (!cursorShown) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
  MovePointer(x, y);
}

void OnPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}

void OnMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  MovePointer(x, y);
  Post(WM_MOUSEMOVE, 0, PortMakeLParam(pointerX, pointerY));
}

void OnButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
  bool down = state == WL_POINTER_BUTTON_STATE_PRESSED;
  const uint32_t right = 0x111, middle = 0x112;  // BTN_RIGHT, BTN_MIDDLE
  UINT message = button == right    ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                 : button == middle ? (down ? WM_MBUTTONDOWN : WM_MBUTTONUP)
                                    : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
  Post(message, 0, PortMakeLParam(pointerX, pointerY));
}

void OnAxis(void*, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value) {
  if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL) return;
  int notches = wl_fixed_to_int(value) / 10;
  Post(WM_MOUSEWHEEL, (WPARAM)(DWORD)((-notches * 120) << 16), 0);
}

void OnFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}

wl_pointer_listener PointerListener() {
  wl_pointer_listener l = {};
  l.enter = OnPointerEnter;
  l.leave = OnPointerLeave;
  l.motion = OnMotion;
  l.button = OnButton;
  l.axis = OnAxis;
  l.frame = OnFrame;
  l.axis_source = OnAxisSource;
  l.axis_stop = OnAxisStop;
  l.axis_discrete = OnAxisDiscrete;
  return l;
}
const wl_pointer_listener pointerListener = PointerListener();

void OnCapabilities(void*, wl_seat* s, uint32_t capabilities) {
  bool wantsKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
  bool wantsPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  if (wantsKeyboard && !keyboard) {
    keyboard = wl_seat_get_keyboard(s);
    wl_keyboard_add_listener(keyboard, &keyboardListener, nullptr);
  } else if (!wantsKeyboard && keyboard) {
    wl_keyboard_destroy(keyboard);
    keyboard = nullptr;
  }
  if (wantsPointer && !pointer) {
    pointer = wl_seat_get_pointer(s);
    wl_pointer_add_listener(pointer, &pointerListener, nullptr);
  } else if (!wantsPointer && pointer) {
    wl_pointer_destroy(pointer);
    pointer = nullptr;
  }
}

void OnSeatName(void*, wl_seat*, const char*) {}

wl_seat_listener SeatListener() {
  wl_seat_listener l = {};
  l.capabilities = OnCapabilities;
  l.name = OnSeatName;
  return l;
}
const wl_seat_listener seatListener = SeatListener();

void OnGlobal(void*, wl_registry* r, uint32_t name, const char* interface, uint32_t version) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    waylandCompositor = static_cast<wl_compositor*>(wl_registry_bind(r, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    waylandLayerShell = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(r, name, &zwlr_layer_shell_v1_interface, std::min(version, 4u)));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat) {
    seat = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(seat, &seatListener, nullptr);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
    auto* o = new WaylandOutput;
    o->name = name;
    o->output = static_cast<wl_output*>(wl_registry_bind(r, name, &wl_output_interface, 2));
    wl_output_add_listener(o->output, &outputListener, o);
    wayland.outputs.push_back(o);
  }
}

// An output that goes takes the show's surface on it along.
void OnGlobalRemove(void*, wl_registry*, uint32_t name) {
  auto& outputs = wayland.outputs;
  for (auto it = outputs.begin(); it != outputs.end(); ++it) {
    WaylandOutput* o = *it;
    if (o->name != name) continue;
    CloseWaylandSurface(o);
    wl_output_destroy(o->output);
    delete o;
    outputs.erase(it);
    return;
  }
}

const wl_registry_listener registryListener = {OnGlobal, OnGlobalRemove};
}  // namespace

bool ConnectWayland() {
  if (wayland.display) return true;
  wayland.display = wl_display_connect(nullptr);
  if (!wayland.display) return false;
  registry = wl_display_get_registry(wayland.display);
  wl_registry_add_listener(registry, &registryListener, nullptr);
  // The globals, then what each announced of itself (outputs' modes, the seat's devices).
  wl_display_roundtrip(wayland.display);
  wl_display_roundtrip(wayland.display);
  if (waylandCompositor && waylandLayerShell && !wayland.outputs.empty()) return true;
  DisconnectWayland();
  return false;
}

void DisconnectWayland() {
  if (!wayland.display) return;
  for (WaylandOutput* o : wayland.outputs) {
    CloseWaylandSurface(o);
    wl_output_destroy(o->output);
    delete o;
  }
  wayland.outputs.clear();
  if (keyboard) wl_keyboard_destroy(keyboard);
  if (pointer) wl_pointer_destroy(pointer);
  if (seat) wl_seat_destroy(seat);
  if (waylandLayerShell) zwlr_layer_shell_v1_destroy(waylandLayerShell);
  if (waylandCompositor) wl_compositor_destroy(waylandCompositor);
  if (registry) wl_registry_destroy(registry);
  keyboard = nullptr;
  pointer = nullptr;
  seat = nullptr;
  waylandLayerShell = nullptr;
  waylandCompositor = nullptr;
  registry = nullptr;
  wl_display_disconnect(wayland.display);
  wayland.display = nullptr;
}

void DispatchWayland() { WaitForWayland(0); }

// A compositor that went away ends the show as a key would.
void WaitForWayland(int timeoutMs) {
  wl_display* d = wayland.display;
  if (!d) return;
  while (wl_display_prepare_read(d) != 0) wl_display_dispatch_pending(d);
  wl_display_flush(d);
  pollfd wakers[2] = {{wl_display_get_fd(d), POLLIN, 0}, {PortEndingSignalFd(), POLLIN, 0}};
  if (poll(wakers, 2, timeoutMs) > 0 && (wakers[0].revents & POLLIN)) {
    if (wl_display_read_events(d) != 0) Post(WM_KEYDOWN, VK_ESCAPE, PortMakeLParam(1, 1));
  } else {
    wl_display_cancel_read(d);
  }
  if (wl_display_dispatch_pending(d) < 0) Post(WM_KEYDOWN, VK_ESCAPE, PortMakeLParam(1, 1));
  NoteKeyboardLost();
}

WaylandOutput* WaylandOutputOf(wl_surface* surface) {
  for (WaylandOutput* o : wayland.outputs)
    if (o->surface == surface) return o;
  return nullptr;
}

void ShowWaylandCursor(bool shown) {
  cursorShown = shown;
  if (pointer && !shown) wl_pointer_set_cursor(pointer, pointerSerial, nullptr, 0, 0);
}
