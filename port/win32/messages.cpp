// The message queue: posted messages, plus SDL's input and window events turned
// into the WM_ messages a Windows program expects. Paint requests come last, as
// on Windows, when nothing else is waiting.
#include <SDL.h>

#include <deque>

#include "port_internal.h"
#include "win32_internal.h"

namespace {
std::deque<MSG> queue;
bool endPosted = false;

LPARAM MakeLParam(int low, int high) { return (LPARAM)(DWORD)((WORD)low | (DWORD)(WORD)high << 16); }

void Post(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m = {};
  m.hwnd = w ? w->handle : nullptr;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  queue.push_back(m);
}

WPARAM VirtualKey(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k >= 'a' && k <= 'z') return (WPARAM)(k - 'a' + 'A');
  if ((k >= '0' && k <= '9') || k == ' ') return (WPARAM)k;
  if (k == SDLK_ESCAPE) return VK_ESCAPE;
  if (k == SDLK_RETURN) return 0x0D;
  return (WPARAM)(key.scancode & 0xFF);
}

// On a daemon's window the daemon owns the input; a window of its own being
// tried out closes on keys and buttons, but not when the pointer wanders by.
bool InputIgnored(const SDL_Event& e) {
  uint32_t window = 0;
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: window = e.key.windowID; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: window = e.button.windowID; break;
    case SDL_MOUSEMOTION: window = e.motion.windowID; break;
    case SDL_MOUSEWHEEL: window = e.wheel.windowID; break;
    default: return false;
  }
  PortWindow* w = PortWindowOfSdl(window);
  if (!w) return false;
  return w->place == PortSaverPlace::Host || (w->place == PortSaverPlace::Own && e.type == SDL_MOUSEMOTION);
}

void Translate(const SDL_Event& e) {
  if (InputIgnored(e)) return;
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      PortWindow* w = PortWindowOfSdl(e.key.windowID);
      if (!w) return;
      bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      UINT message = e.type == SDL_KEYDOWN ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
      Post(w, message, VirtualKey(e.key.keysym), MakeLParam(1, e.key.keysym.scancode));
      return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      PortWindow* w = PortWindowOfSdl(e.button.windowID);
      if (!w) return;
      bool down = e.type == SDL_MOUSEBUTTONDOWN;
      UINT message = e.button.button == SDL_BUTTON_RIGHT    ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                     : e.button.button == SDL_BUTTON_MIDDLE ? (down ? WM_MBUTTONDOWN : WM_MBUTTONUP)
                                                            : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
      Post(w, message, 0, MakeLParam(e.button.x, e.button.y));
      return;
    }
    case SDL_MOUSEMOTION: {
      PortWindow* w = PortWindowOfSdl(e.motion.windowID);
      if (!w) return;
      Post(w, WM_SETCURSOR, (WPARAM)w, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
      Post(w, WM_MOUSEMOVE, 0, MakeLParam(e.motion.x, e.motion.y));
      return;
    }
    case SDL_MOUSEWHEEL: {
      PortWindow* w = PortWindowOfSdl(e.wheel.windowID);
      if (w) Post(w, WM_MOUSEWHEEL, (WPARAM)(DWORD)((e.wheel.y * 120) << 16), 0);
      return;
    }
    case SDL_WINDOWEVENT: {
      PortWindow* w = PortWindowOfSdl(e.window.windowID);
      if (!w) return;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
          if (w->place != PortSaverPlace::Ordinary) return;
          break;
      }
      switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          Post(w, WM_ACTIVATEAPP, TRUE, 0);
          Post(w, WM_NCACTIVATE, TRUE, 0);
          Post(w, WM_ACTIVATE, WA_ACTIVE, 0);
          return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          Post(w, WM_NCACTIVATE, FALSE, 0);
          Post(w, WM_ACTIVATE, WA_INACTIVE, 0);
          Post(w, WM_ACTIVATEAPP, FALSE, 0);
          return;
        case SDL_WINDOWEVENT_ENTER:
          Post(w, WM_SETCURSOR, (WPARAM)w, MakeLParam(HTCLIENT, WM_MOUSEMOVE));
          return;
        case SDL_WINDOWEVENT_EXPOSED:
          w->needsPaint = true;
          return;
        case SDL_WINDOWEVENT_CLOSE:
          // A show being tried out in a window closes with it, as on a key.
          if (w->place == PortSaverPlace::Own) {
            Post(w, WM_KEYDOWN, VK_ESCAPE, MakeLParam(1, 1));
            return;
          }
          // What Alt+F4 or a window manager's close button sends on Windows.
          Post(w, WM_SYSCOMMAND, SC_CLOSE, 0);
          return;
      }
      return;
    }
  }
}

void PumpSdlEvents() {
  if (!PortVideoRunning()) return;
  SDL_Event e;
  while (SDL_PollEvent(&e)) Translate(e);
}

// The end of an unattended run, an ending signal, or the daemon's window gone:
// the show is asked to close as if a key was pressed, so it closes the
// ordinary way. A preview takes no keys and is closed as its host would close
// it. A signal that comes before the window stays pending for it.
void CheckEndRequests() {
  if (endPosted || portWindows.empty()) return;
  if (!PortRunLimitReached() && !PortEndingSignalTaken() && !PortDaemonWindowGone()) return;
  PortWindow* child = nullptr;
  for (PortWindow* w : portWindows) {
    if (!w->alive) continue;
    if (!w->parent) {
      Post(w, WM_KEYDOWN, VK_ESCAPE, MakeLParam(1, 1));
      endPosted = true;
      return;
    }
    if (!child) child = w;
  }
  if (child) {
    Post(child, WM_CLOSE, 0, 0);
    endPosted = true;
  }
}

PortWindow* WindowNeedingPaint() {
  for (PortWindow* w : portWindows)
    if (w->alive && w->visible && w->needsPaint) return w;
  return nullptr;
}
}  // namespace

BOOL PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT removeFlags) {
  PumpSdlEvents();
  PortPumpChildWindowEvents();
  CheckEndRequests();
  if (!queue.empty()) {
    *msg = queue.front();
    if (removeFlags & PM_REMOVE) queue.pop_front();
    return TRUE;
  }
  // A paint request stays until the window validates it with BeginPaint.
  if (PortWindow* w = WindowNeedingPaint()) {
    *msg = MSG{};
    msg->hwnd = w->handle;
    msg->message = WM_PAINT;
    return TRUE;
  }
  return PortTakeDueTimer(msg, removeFlags & PM_REMOVE) ? TRUE : FALSE;
}

// Sleeps until something may be waiting: an SDL event, a child window's X event
// or the next timer. An idle preview so costs nothing between its frames.
BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
  while (!PeekMessageA(msg, window, filterMin, filterMax, PM_REMOVE)) {
    int untilTimer = PortMsUntilNextTimer();
    if (PortVideoRunning()) SDL_WaitEventTimeout(nullptr, untilTimer >= 0 && untilTimer < 10 ? untilTimer : 10);
    else PortWaitForChildWindowEvents(untilTimer >= 0 ? untilTimer : 1000);
  }
  return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
  PortWindow* w = msg ? PortWindowOf(msg->hwnd) : nullptr;
  if (!w) return 0;
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PortWindow* w = PortWindowOf(window);
  if (window && !w) return FALSE;
  Post(w, message, wParam, lParam);
  return TRUE;
}

void PostQuitMessage(int exitCode) { Post(nullptr, WM_QUIT, (WPARAM)exitCode, 0); }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  PortWindow* w = PortWindowOf(window);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) PostMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETCURSOR:
      if (w && w->cursor) SetCursor(w->cursor);
      return 0;
    case WM_NCACTIVATE:
      return TRUE;
  }
  return 0;
}
