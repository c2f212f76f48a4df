// The page's input as the saver window's messages: keys, mouse buttons, mouse
// movement, the page losing focus. While the show waits under the Start
// button, input is the page's own.
#include <emscripten/html5.h>

#include <cstring>

#include "web.h"
#include "driver.h"

namespace {
bool endPosted = false;

PortWindow* SaverWindow() {
  for (PortWindow* w : portWindows)
    if (w->alive) return w;
  return nullptr;
}

PortWindow* InputWindow() { return WebShowHeld() ? nullptr : SaverWindow(); }

WPARAM VirtualKey(const EmscriptenKeyboardEvent* e) {
  if (std::strcmp(e->key, "Escape") == 0) return VK_ESCAPE;
  if (std::strcmp(e->key, "Enter") == 0) return 0x0D;
  if (e->key[0] && !e->key[1]) {
    char c = e->key[0];
    if (c >= 'a' && c <= 'z') return (WPARAM)(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return (WPARAM)c;
  }
  return (WPARAM)(e->keyCode & 0xFF);
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
  PortWindow* w = InputWindow();
  if (!w) return EM_FALSE;
  bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  UINT message = down ? (e->altKey ? WM_SYSKEYDOWN : WM_KEYDOWN) : (e->altKey ? WM_SYSKEYUP : WM_KEYUP);
  PortPost(w, message, VirtualKey(e), PortMakeLParam(1, 0));
  return EM_TRUE;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
  PortWindow* w = InputWindow();
  if (!w) return EM_FALSE;
  LPARAM at = PortMakeLParam((int)e->targetX, (int)e->targetY);
  if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
    PortPost(w, WM_SETCURSOR, (WPARAM)w->handle, PortMakeLParam(HTCLIENT, WM_MOUSEMOVE));
    PortPost(w, WM_MOUSEMOVE, 0, at);
    return EM_FALSE;
  }
  bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
  UINT message = e->button == 2   ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                 : e->button == 1 ? (down ? WM_MBUTTONDOWN : WM_MBUTTONUP)
                                  : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
  PortPost(w, message, 0, at);
  return EM_TRUE;
}

EM_BOOL OnFocus(int type, const EmscriptenFocusEvent*, void*) {
  PortWindow* w = InputWindow();
  if (!w) return EM_FALSE;
  if (type == EMSCRIPTEN_EVENT_FOCUS) {
    PortPost(w, WM_ACTIVATEAPP, TRUE, 0);
    PortPost(w, WM_NCACTIVATE, TRUE, 0);
    PortPost(w, WM_ACTIVATE, WA_ACTIVE, 0);
  } else {
    PortPost(w, WM_NCACTIVATE, FALSE, 0);
    PortPost(w, WM_ACTIVATE, WA_INACTIVE, 0);
    PortPost(w, WM_ACTIVATEAPP, FALSE, 0);
  }
  return EM_FALSE;
}
}  // namespace

void WebListenToInput() {
  const char* page = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
  emscripten_set_keydown_callback(page, nullptr, EM_FALSE, OnKey);
  emscripten_set_keyup_callback(page, nullptr, EM_FALSE, OnKey);
  emscripten_set_mousedown_callback(WebCanvas, nullptr, EM_FALSE, OnMouse);
  emscripten_set_mouseup_callback(WebCanvas, nullptr, EM_FALSE, OnMouse);
  emscripten_set_mousemove_callback(WebCanvas, nullptr, EM_FALSE, OnMouse);
  emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnFocus);
}

// Leaving full screen by the browser's own means asks the show to close as a
// key would, so it closes the ordinary way.
void PortCheckEndRequests() {
  PortWindow* w = SaverWindow();
  if (!w) {
    endPosted = false;
    return;
  }
  if (endPosted || !WebFullScreenLeft()) return;
  PortPost(w, WM_KEYDOWN, VK_ESCAPE, PortMakeLParam(1, 1));
  endPosted = true;
}
