#include <gtest/gtest.h>

#include "shell/neighbours.h"
#include "shell/shell.h"
#include "support/fake_win32.h"

namespace {
std::function<BOOL(HWND)> passwordDialog;
BOOL WINAPI FakeVerifyScreenSavePwd(HWND window) { return passwordDialog(window); }

class SaverWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetNeighbours();
    ResetShellState(nullptr);
    WNDCLASSEXA wc = {};
    wc.lpfnWndProc = SaverWindowProc;
    wc.lpszClassName = "glmzsaver";
    RegisterClassExA(&wc);
    window = CreateWindowExA(WS_EX_TOPMOST, "glmzsaver", "Glimmerz", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr,
                             nullptr, nullptr);
    fakeSystem.now = 5000;
    shell.mainWindow = window;
    shell.clock.graceStart = shell.clock.lastFrame = shell.clock.phaseStart = 1000;
    ClearRecordedCalls();
  }
  LRESULT Send(UINT message, WPARAM wParam = 0) { return SaverWindowProc(window, message, wParam, 0); }
  // Windows 95/98 with a password provider that answers as given.
  void UsePasswordProvider(std::function<BOOL(HWND)> dialog) {
    fakeSystem.platformId = VER_PLATFORM_WIN32_WINDOWS;
    passwordDialog = dialog;
    fakeSystem.libraries["PASSWORD.CPL"]["VerifyScreenSavePwd"] = reinterpret_cast<FARPROC>(FakeVerifyScreenSavePwd);
  }
  bool CloseRequested() { return shell.closeRequested && CallMade("PostMessageA(16)"); }
  HWND window;
};

const UINT FocusMessages[] = {WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE};
}  // namespace

TEST_F(SaverWindow, AKeyOrAMouseButtonClosesAtOnceEvenInTheFirstFrame) {
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    SetUp();
    Send(message);
    EXPECT_TRUE(CloseRequested()) << message;
    EXPECT_TRUE(CallMade("DefWindowProcA(" + std::to_string(message) + ")")) << message;
  }
}

TEST_F(SaverWindow, AMouseNudgeOrFocusLossInTheFirstTwoSecondsOfFramesDoesNotEndTheShow) {
  shell.clock.lastFrame = shell.clock.graceStart + 2000;
  Send(WM_MOUSEMOVE);
  for (UINT message : FocusMessages) Send(message, 0);
  EXPECT_FALSE(shell.closeRequested);
  EXPECT_FALSE(CallMade("PostMessageA"));
}

TEST_F(SaverWindow, AfterGraceAMouseMoveOrFocusLossEndsTheShow) {
  for (UINT message : {(UINT)WM_MOUSEMOVE, FocusMessages[0], FocusMessages[1], FocusMessages[2]}) {
    SetUp();
    shell.clock.lastFrame = shell.clock.graceStart + 2001;
    Send(message, 0);
    EXPECT_TRUE(CloseRequested()) << message;
  }
}

TEST_F(SaverWindow, GraceCountsFrameTimeNotWallTime) {
  fakeSystem.now += 60000;  // a minute on the wall clock without a frame
  Send(WM_MOUSEMOVE);
  EXPECT_FALSE(shell.closeRequested);
  // Across the timer's wrap, differences still count.
  shell.clock.graceStart = 0xFFFFFF00u;
  shell.clock.lastFrame = 0xFFFFFF00u + 2001u;
  Send(WM_MOUSEMOVE);
  EXPECT_TRUE(shell.closeRequested);
}

TEST_F(SaverWindow, ActivationNeverClosesButAnyZeroLowWordIsADeactivation) {
  shell.clock.lastFrame = shell.clock.graceStart + 5000;
  for (UINT message : FocusMessages) Send(message, WA_ACTIVE);
  Send(WM_ACTIVATE, 2);  // activated by a click
  EXPECT_FALSE(shell.closeRequested);
  Send(WM_ACTIVATE, 0x00010000);  // inactive and minimised
  EXPECT_TRUE(shell.closeRequested);
}

TEST_F(SaverWindow, ACloseFromAnotherProgramBeforeAnyInputIsIgnored) {
  EXPECT_EQ(Send(WM_CLOSE), 0);
  EXPECT_FALSE(CallMade("TearDownRenderDevice"));
  EXPECT_FALSE(CallMade("DefWindowProcA"));
  EXPECT_TRUE(IsWindow(window));
  // Once input has asked to close, the same message starts the check.
  Send(WM_KEYDOWN);
  Send(WM_CLOSE);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindow, AnAcceptedCloseGivesTheDesktopBackAndDestroysTheWindow) {
  Send(WM_KEYDOWN);
  ClearRecordedCalls();
  Send(WM_CLOSE);
  std::vector<std::string> expected = {
      "TearDownRenderDevice",  "SystemParametersInfoA(97,1)", "ShowWindow(1)", "MoveWindow(0,0,1024,768,0)",
      "InvalidateRect(all,1)", "GetVersionExA(size)",         "DestroyWindow", "PostQuitMessage(0)",
      "DefWindowProcA(2)"};
  EXPECT_EQ(RecordedCalls(), expected);
  EXPECT_EQ(fakeSystem.queue.back().message, (UINT)WM_QUIT);
}

TEST_F(SaverWindow, WithoutAPasswordProviderClosingIsAccepted) {
  fakeSystem.platformId = VER_PLATFORM_WIN32_WINDOWS;
  Send(WM_KEYDOWN);
  Send(WM_CLOSE);
  EXPECT_TRUE(CallMade("LoadLibraryA(PASSWORD.CPL)"));
  EXPECT_FALSE(IsWindow(window));
  // A provider without the export is no provider either.
  SetUp();
  fakeSystem.platformId = VER_PLATFORM_WIN32_WINDOWS;
  fakeSystem.libraries["PASSWORD.CPL"] = {};
  Send(WM_KEYDOWN);
  Send(WM_CLOSE);
  EXPECT_TRUE(CallMade("FreeLibrary"));
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindow, ARefusedPasswordBringsTheShowBackWithFreshGrace) {
  UsePasswordProvider([](HWND) { return FALSE; });
  shell.clock.lastFrame = 4000;
  Send(WM_KEYDOWN);
  fakeSystem.now = 50000;
  ClearRecordedCalls();
  Send(WM_CLOSE);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_LT(FindCall("TearDownRenderDevice"), FindCall("SetUpRenderDevice"));
  EXPECT_FALSE(CallMade("DestroyWindow"));
  EXPECT_EQ(shell.checkingPassword, 0);
  EXPECT_EQ(shell.clock.graceStart, 50000u);
  EXPECT_EQ(shell.clock.lastFrame, 50000u);
  EXPECT_EQ(shell.clock.phaseStart, 1000u);  // the check counts as show time
  EXPECT_EQ(shell.closeRequested, 1);

  ClearRecordedCalls();
  shell.clock.lastFrame = 50000 + 2000;
  Send(WM_MOUSEMOVE);
  EXPECT_FALSE(CallMade("PostMessageA"));
  Send(WM_KEYDOWN);
  EXPECT_TRUE(CallMade("PostMessageA(16)"));
}

TEST_F(SaverWindow, DuringTheCheckTheWindowIsBlackWithAnArrowAndIgnoresInput) {
  std::vector<LRESULT> results;
  UsePasswordProvider([&](HWND w) {
    ClearRecordedCalls();
    results.push_back(SaverWindowProc(w, WM_PAINT, 0, 0));
    results.push_back(SaverWindowProc(w, WM_SETCURSOR, 0, 0));
    SaverWindowProc(w, WM_KEYDOWN, 0, 0);
    SaverWindowProc(w, WM_LBUTTONDOWN, 0, 0);
    shell.clock.lastFrame += 10000;
    SaverWindowProc(w, WM_MOUSEMOVE, 0, 0);
    SaverWindowProc(w, WM_ACTIVATEAPP, 0, 0);
    // A second queued close, dispatched by the dialog's own loop.
    results.push_back(SaverWindowProc(w, WM_CLOSE, 0, 0));
    return TRUE;
  });
  Send(WM_KEYDOWN);
  Send(WM_CLOSE);
  EXPECT_EQ(results, (std::vector<LRESULT>{0, 0, 0}));
  std::vector<std::string> painted = {"BeginPaint", "FillRect(1024x768,5)", "EndPaint", "SetCursor(arrow)"};
  EXPECT_EQ(std::vector<std::string>(RecordedCalls().begin(), RecordedCalls().begin() + 4), painted);
  EXPECT_FALSE(CallMade("PostMessageA"));
  EXPECT_FALSE(CallMade("TearDownRenderDevice"));
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindow, ScreenSaveAndCloseCommandsAreSwallowedAtAllTimes) {
  for (int checking : {0, 1}) {
    shell.checkingPassword = checking;
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_CLOSE), 0);
  }
  EXPECT_FALSE(CallMade("DefWindowProcA"));
  Send(WM_SYSCOMMAND, 0xF020);  // minimise goes on to the default
  EXPECT_TRUE(CallMade("DefWindowProcA(274)"));
}

TEST_F(SaverWindow, ThePointerIsHiddenAndPaintingIsLeftToTheDefaultDuringTheShow) {
  EXPECT_EQ(Send(WM_SETCURSOR), 0);
  Send(WM_PAINT);
  EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"SetCursor(none)", "DefWindowProcA(15)"}));
}

TEST_F(SaverWindow, KeyReleasesCharactersAndTheWheelNeverClose) {
  shell.clock.lastFrame = shell.clock.graceStart + 5000;
  for (UINT message : {WM_KEYUP, WM_SYSKEYUP, WM_CHAR, WM_MOUSEWHEEL, WM_LBUTTONUP}) Send(message);
  EXPECT_FALSE(shell.closeRequested);
}
