#include <gtest/gtest.h>

#include "gfx/gfx.h"
#include "shell/neighbours.h"
#include "shell/shell.h"
#include "support/fake_win32.h"

namespace {
class RunModes : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetNeighbours();
  }
  int Run(const std::string& line) {
    fakeSystem.commandLine = "glimmerz.scr" + (line.empty() ? "" : " " + line);
    return WinMain((HINSTANCE)(uintptr_t)0x400000, nullptr, nullptr, SW_SHOWNORMAL);
  }
  // The calls from StopMusic on, which must be the shutdown sequence and nothing after.
  std::vector<std::string> Tail() {
    auto& calls = RecordedCalls();
    CallPlace start = FindCall("StopMusic");
    if (start.index < 0) return {};
    return std::vector<std::string>(calls.begin() + start.index, calls.end());
  }
};

const std::vector<std::string> ShutdownSequence = {"StopMusic", "TearDownRenderDevice", "CoUninitialize",
                                                   "FreeSlideDeck", "SystemParametersInfoA(97,0)"};

std::string changedOwnerKey;
intptr_t changedOwner;
DWORD WINAPI FakePwdChangePassword(LPCSTR key, HWND owner, DWORD a, DWORD b) {
  changedOwnerKey = key;
  changedOwner = (intptr_t)owner;
  return a + b;
}
}  // namespace

TEST_F(RunModes, ShutdownRunsInOrderAfterEveryModeAndClearsTheRunningFlagLast) {
  for (std::string line : {"", "/c 5", "/p 5", "/a 5", "/x"}) {
    ResetFakeSystem();
    EXPECT_EQ(Run(line), 0) << line;
    EXPECT_EQ(Tail(), ShutdownSequence) << line;
    EXPECT_EQ(fakeSystem.screenSaverRunning, 0) << line;
  }
}

TEST_F(RunModes, AFailedComStartEndsWithMinusOneAndRunsNothing) {
  fakeSystem.coInitializeResult = (HRESULT)0x80004005;
  EXPECT_EQ(Run("/s"), -1);
  EXPECT_EQ(RecordedCalls(), std::vector<std::string>{"CoInitialize"});
}

TEST_F(RunModes, ChangingThePasswordCallsTheProviderWithTheOwner) {
  fakeSystem.libraries["MPR.DLL"]["PwdChangePasswordA"] = reinterpret_cast<FARPROC>(FakePwdChangePassword);
  EXPECT_EQ(Run("/a 42"), 0);
  EXPECT_EQ(changedOwnerKey, "SCRSAVE");
  EXPECT_EQ(changedOwner, 42);
  EXPECT_TRUE(CallMade("FreeLibrary"));
}

TEST_F(RunModes, ChangingThePasswordWithoutAProviderDoesNothing) {
  EXPECT_EQ(Run("/a 42"), 0);
  EXPECT_FALSE(CallMade("GetProcAddress"));
  fakeSystem.libraries["MPR.DLL"] = {};
  ClearRecordedCalls();
  EXPECT_EQ(Run("/a 42"), 0);
  EXPECT_TRUE(CallMade("GetProcAddress(PwdChangePasswordA)"));
  EXPECT_TRUE(CallMade("FreeLibrary"));
}

TEST_F(RunModes, TheSaverStartsInOrderAndEndsOnAKey) {
  fakeSystem.advancePerRead = 1;
  // The first frame finds a key press waiting: the show closes at once.
  neighbours.onRender = [] {
    if (!CallMade("PostMessageA(16)") && !fakeSystem.windows.empty()) {
      MSG key = {};
      key.hwnd = (HWND)fakeSystem.windows[0];
      key.message = WM_KEYDOWN;
      fakeSystem.queue.push_back(key);
    }
  };
  EXPECT_EQ(Run("/s"), 0);
  std::vector<std::string> expected = {
      "LoadSlideDeck",
      "RegQueryValueExA(displaywidth,4)",
      "RegQueryValueExA(displayheight,4)",
      "RegQueryValueExA(displaybpp,4)",
      "RegisterClassExA(glmzsaver,size)",
      "CreateWindowExA(8,glmzsaver,Glimmerz,2147483648,0,0,1024,768)",
      "ShowWindow(1)",
      "SystemParametersInfoA(97,1)",
      "SetUpRenderDevice",
      "StartMusic",
      "PlayResourceSong(112,113)",
      "PumpMusicNotifications",
      "RenderShowFrame",
      "PostMessageA(16)",
      "TearDownRenderDevice",
      "SystemParametersInfoA(97,1)",
      "DestroyWindow",
      "PostQuitMessage(0)",
      "SystemParametersInfoA(97,0)",
      "StopMusic",
  };
  // In this order, with other calls (registry, queue) allowed in between.
  size_t next = 0;
  for (auto& c : RecordedCalls())
    if (next < expected.size() && c == expected[next]) ++next;
  ASSERT_EQ(next, expected.size()) << "missing or out of order: " << expected[next];
  EXPECT_EQ(renderDevice.displayWidth, 640u);
  EXPECT_EQ(renderDevice.displayHeight, 480u);
  EXPECT_EQ(renderDevice.displayBpp, 16u);
  EXPECT_EQ(shell.showPhase, 1);
}

TEST_F(RunModes, AFailingStartStepEndsTheSaverQuietly) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    const char* lastCall;
  };
  std::vector<Case> cases = {
      {"deck", [] { neighbours.loadDeckResult = 0; }, "LoadSlideDeck"},
      {"class", [] { fakeSystem.registerClassFails = true; }, "RegisterClassExA"},
      {"window", [] { fakeSystem.createWindowFails = true; }, "CreateWindowExA"},
      {"device", [] { neighbours.setUpResult = 0; }, "SetUpRenderDevice"},
      {"music", [] { neighbours.startMusicResult = 0; }, "StartMusic"},
  };
  for (auto& c : cases) {
    ResetFakeSystem();
    ResetNeighbours();
    c.arrange();
    EXPECT_EQ(Run("/s"), 0) << c.name;
    ASSERT_TRUE(CallMade(c.lastCall)) << c.name;
    // Straight from the failing step to the shutdown sequence: no frame, no loop.
    EXPECT_FALSE(CallMade("RenderShowFrame")) << c.name;
    EXPECT_FALSE(CallMade("PlayResourceSong")) << c.name;
    EXPECT_EQ(Tail(), ShutdownSequence) << c.name;
  }
}
