// SDL's input and window events turned into the WM_ messages of the queue
// (message_queue.cpp).
#include <SDL.h>

#include "sdl.h"

namespace {
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
    case SDL_KEYUP:
      window = e.key.windowID;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      window = e.button.windowID;
      break;
    case SDL_MOUSEMOTION:
      window = e.motion.windowID;
      break;
    case SDL_MOUSEWHEEL:
      window = e.wheel.windowID;
      break;
    default:
      return false;
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
      PortPost(w, message, VirtualKey(e.key.keysym), PortMakeLParam(1, e.key.keysym.scancode));
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
      PortPost(w, message, 0, PortMakeLParam(e.button.x, e.button.y));
      return;
    }
    case SDL_MOUSEMOTION: {
      PortWindow* w = PortWindowOfSdl(e.motion.windowID);
      if (!w) return;
      PortPost(w, WM_SETCURSOR, (WPARAM)w, PortMakeLParam(HTCLIENT, WM_MOUSEMOVE));
      PortPost(w, WM_MOUSEMOVE, 0, PortMakeLParam(e.motion.x, e.motion.y));
      return;
    }
    case SDL_MOUSEWHEEL: {
      PortWindow* w = PortWindowOfSdl(e.wheel.windowID);
      if (w) PortPost(w, WM_MOUSEWHEEL, (WPARAM)(DWORD)((e.wheel.y * 120) << 16), 0);
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
          PortPost(w, WM_ACTIVATEAPP, TRUE, 0);
          PortPost(w, WM_NCACTIVATE, TRUE, 0);
          PortPost(w, WM_ACTIVATE, WA_ACTIVE, 0);
          return;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          PortPost(w, WM_NCACTIVATE, FALSE, 0);
          PortPost(w, WM_ACTIVATE, WA_INACTIVE, 0);
          PortPost(w, WM_ACTIVATEAPP, FALSE, 0);
          return;
        case SDL_WINDOWEVENT_ENTER:
          PortPost(w, WM_SETCURSOR, (WPARAM)w, PortMakeLParam(HTCLIENT, WM_MOUSEMOVE));
          return;
        case SDL_WINDOWEVENT_EXPOSED:
          w->needsPaint = true;
          return;
        case SDL_WINDOWEVENT_CLOSE:
          // A show being tried out in a window closes with it, as on a key.
          if (w->place == PortSaverPlace::Own) {
            PortPost(w, WM_KEYDOWN, VK_ESCAPE, PortMakeLParam(1, 1));
            return;
          }
          // What Alt+F4 or a window manager's close button sends on Windows.
          PortPost(w, WM_SYSCOMMAND, SC_CLOSE, 0);
          return;
      }
      return;
    }
  }
}

}  // namespace

void PumpSdlEvents() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) Translate(e);
}

void WaitForSdlEvents(int untilTimer) {
  SDL_WaitEventTimeout(nullptr, untilTimer >= 0 && untilTimer < 10 ? untilTimer : 10);
}
