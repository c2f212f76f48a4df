#include <gtest/gtest.h>

#include "shell/neighbours.h"
#include "shell/shell.h"
#include "support/fake_win32.h"

namespace {
void Post(UINT message) {
  MSG m = {};
  m.hwnd = (HWND)fakeSystem.windows[0];
  m.message = message;
  fakeSystem.queue.push_back(m);
}
}  // namespace

TEST(SaverLoop, EveryPendingMessageIsHandledBeforeTheNextFrame) {
  ResetFakeSystem();
  ResetNeighbours();
  fakeSystem.advancePerRead = 1;
  std::vector<size_t> waitingAtEachFrame;
  neighbours.onRender = [&] {
    waitingAtEachFrame.push_back(fakeSystem.queue.size());
    // Input that never closes the show, then a key that does.
    if (waitingAtEachFrame.size() == 1)
      for (UINT message : {WM_KEYUP, WM_CHAR, WM_MOUSEWHEEL}) Post(message);
    if (waitingAtEachFrame.size() == 2) Post(WM_KEYDOWN);
  };
  fakeSystem.commandLine = "glimmerz.scr /s";
  EXPECT_EQ(WinMain((HINSTANCE)(uintptr_t)0x400000, nullptr, nullptr, SW_SHOWNORMAL), 0);
  EXPECT_EQ(waitingAtEachFrame, (std::vector<size_t>{0, 0}));
}
