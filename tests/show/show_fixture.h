// Shared set-up of the show's tests: a fresh director, the recording device,
// and the string table of the real resource script in the fake system.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "shell/shell.h"
#include "show/scene_recorder.h"
#include "show/show.h"
#include "support/fake_win32.h"

inline std::map<UINT, std::string> ShippedStrings() {
  std::map<UINT, std::string> strings;
  std::ifstream rc(GLIMMERZ_RC);
  std::regex entry(R"re(^\s*(\d+)\s+"(.*)"\s*$)re");
  std::smatch m;
  for (std::string line; std::getline(rc, line);)
    if (std::regex_match(line, m, entry)) strings[(UINT)std::stoul(m[1])] = m[2];
  return strings;
}

class ShowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    FreeSlideDeck();
    shell = ShellState{};
    ResetShowDirector();
    InstallSceneDevice();
    drawCalls.clear();
    fakeSystem.strings = ShippedStrings();
  }
  void TearDown() override { FreeSlideDeck(); }

  // One frame of the given phase with t and d set directly.
  void Frame(int32_t phase, DWORD t, DWORD d = 10) {
    shell.showPhase = phase;
    shell.clock.phaseElapsed = t;
    shell.clock.frameDelta = d;
    drawCalls.clear();
    RenderShowFrame();
  }
  // The saver's start and its frame tick, driven by the fake timer.
  void StartShow(DWORD now) {
    fakeSystem.now = now;
    shell.clock.graceStart = shell.clock.lastFrame = shell.clock.phaseStart = now;
    shell.showPhase = SignFade;
  }
  void Tick(DWORD d) {
    fakeSystem.now += d;
    DWORD now = fakeSystem.now;
    shell.clock.frameDelta = now - shell.clock.lastFrame;
    shell.clock.phaseElapsed = now - shell.clock.phaseStart;
    shell.clock.lastFrame = now;
    drawCalls.clear();
    RenderShowFrame();
  }
};

inline D3DCOLOR GreyOf(DWORD g) { return 0xFF000000u + g * 0x010101u; }
