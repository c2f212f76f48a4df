// What reaches the saver's window procedure when SDL reports input on the port:
// events injected through SDL's own queue, translated by the port, dispatched to
// the real saver window.
#include <gtest/gtest.h>
#include <SDL.h>

#include <vector>

#include "drivers/sdl/sdl.h"
#include "shell/shell.h"

namespace {
struct Seen {
  UINT message;
  WPARAM wParam;
};
std::vector<Seen> seen;

// The saver's own procedure, except that the close request it posts is only
// noted: the password check and the window's end are not what is tested here.
LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  seen.push_back({message, wParam});
  if (message == WM_CLOSE) return 0;
  return SaverWindowProc(window, message, wParam, lParam);
}

class SaverInput : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool registered = false;
    if (!registered) {
      WNDCLASSEXA windowClass = {};
      windowClass.cbSize = sizeof windowClass;
      windowClass.lpfnWndProc = Recording;
      windowClass.lpszClassName = "inputtest";
      registered = RegisterClassExA(&windowClass) != 0;
    }
    ResetShellState(nullptr);
    window = CreateWindowExA(WS_EX_TOPMOST, "inputtest", "Glimmerz", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    shell.mainWindow = window;
    Drain();
  }
  void TearDown() override {
    DestroyWindow(window);
    Drain();
  }
  // Hands every message waiting to the window; what the system sent of its own
  // accord (the window appearing) goes too.
  void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    seen.clear();
  }
  void GraceOver(bool over) {
    shell.clock.graceStart = 1000;
    shell.clock.lastFrame = over ? 1000 + GracePeriodMs + 1 : 1000 + GracePeriodMs;
  }
  Uint32 Id() { return SDL_GetWindowID(PortSdlWindow(window)); }
  void Inject(SDL_Event e) {
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  SDL_Event WindowEvent(Uint8 event) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = Id();
    e.window.event = event;
    return e;
  }
  // The messages seen, in order, as they reached the window; others between are allowed.
  bool SawInOrder(std::vector<Seen> expected) {
    size_t next = 0;
    for (const Seen& s : seen)
      if (next < expected.size() && s.message == expected[next].message && s.wParam == expected[next].wParam) ++next;
    return next == expected.size();
  }
  bool CloseRequested() { return shell.closeRequested && SawInOrder({{WM_CLOSE, 0}}); }
  HWND window = nullptr;
};
}  // namespace

TEST_F(SaverInput, FocusLossArrivesAsTheThreeDeactivationsAndEndsTheShowAfterGrace) {
  GraceOver(false);
  Inject(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_TRUE(SawInOrder({{WM_NCACTIVATE, 0}, {WM_ACTIVATE, WA_INACTIVE}, {WM_ACTIVATEAPP, 0}}));
  EXPECT_FALSE(shell.closeRequested);
  GraceOver(true);
  Inject(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  EXPECT_FALSE(shell.closeRequested);
  Inject(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  EXPECT_TRUE(CloseRequested());
}

TEST_F(SaverInput, AMoveAfterGraceEachButtonAndAnAltKeyEndTheShowAsTheirMessages) {
  SDL_Event move = {}, key = {};
  move.type = SDL_MOUSEMOTION;
  key.type = SDL_KEYDOWN;
  key.key.keysym = {SDL_SCANCODE_X, SDLK_x, KMOD_LALT, 0};
  std::vector<std::pair<SDL_Event, Seen>> cases = {{move, {WM_MOUSEMOVE, 0}}, {key, {WM_SYSKEYDOWN, 'X'}}};
  for (auto [button, message] : {std::pair<Uint8, UINT>{SDL_BUTTON_LEFT, WM_LBUTTONDOWN},
                                 {SDL_BUTTON_RIGHT, WM_RBUTTONDOWN},
                                 {SDL_BUTTON_MIDDLE, WM_MBUTTONDOWN}}) {
    SDL_Event press = {};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.button = button;
    cases.push_back({press, {message, 0}});
  }
  for (auto [event, expected] : cases) {
    SCOPED_TRACE(expected.message);
    shell.closeRequested = 0;
    seen.clear();
    GraceOver(event.type == SDL_MOUSEMOTION);  // only a move waits for grace
    if (event.type == SDL_MOUSEMOTION)
      event.motion.windowID = Id();
    else if (event.type == SDL_KEYDOWN)
      event.key.windowID = Id();
    else
      event.button.windowID = Id();
    Inject(event);
    EXPECT_TRUE(SawInOrder({expected}));
    EXPECT_TRUE(CloseRequested());
  }
}

TEST_F(SaverInput, TheWindowManagersCloseIsSwallowed) {
  GraceOver(false);
  Inject(WindowEvent(SDL_WINDOWEVENT_CLOSE));
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  Inject(quit);
  EXPECT_TRUE(SawInOrder({{WM_SYSCOMMAND, SC_CLOSE}}));
  EXPECT_FALSE(shell.closeRequested);
  for (const Seen& s : seen) EXPECT_NE(s.message, (UINT)WM_CLOSE);
  EXPECT_TRUE(IsWindow(window));
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT);
}
