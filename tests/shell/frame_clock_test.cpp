#include <gtest/gtest.h>

#include "shell/neighbours.h"
#include "shell/shell.h"
#include "support/fake_win32.h"

namespace {
class FrameClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetNeighbours();
    ResetShellState(nullptr);
  }
};
}  // namespace

TEST_F(FrameClockTest, AFrameWaitsForTheTimerInsteadOfHavingAZeroDelta) {
  shell.clock.lastFrame = shell.clock.phaseStart = fakeSystem.now = 7000;
  int reads = 0;
  fakeSystem.onTimeRead = [&] {
    if (++reads == 50) fakeSystem.now = 7003;
  };
  FrameTick();
  EXPECT_EQ(reads, 50);
  EXPECT_EQ(shell.clock.frameDelta, 3u);
  EXPECT_EQ(shell.clock.phaseElapsed, 3u);
  EXPECT_EQ(shell.clock.lastFrame, 7003u);
  EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"PumpMusicNotifications", "RenderShowFrame"}));
}

TEST_F(FrameClockTest, TheClockRunsOnAcrossTheTimersWrap) {
  shell.clock.phaseStart = 0xFFFFF000u;
  shell.clock.lastFrame = 0xFFFFFFF0u;
  fakeSystem.now = 0x10;
  FrameTick();
  EXPECT_EQ(shell.clock.frameDelta, 0x20u);
  EXPECT_EQ(shell.clock.phaseElapsed, 0x1010u);
  EXPECT_EQ(shell.clock.lastFrame, 0x10u);
}

TEST_F(FrameClockTest, AFrameThatRestartsThePhaseIsMeasuredFromTheNewStart) {
  shell.clock.lastFrame = shell.clock.phaseStart = fakeSystem.now = 100;
  fakeSystem.now = 120;
  neighbours.onRender = [] {
    shell.clock.phaseStart = 125;
    shell.clock.phaseElapsed = 0;
  };
  FrameTick();
  neighbours.onRender = nullptr;
  fakeSystem.now = 130;
  FrameTick();
  EXPECT_EQ(shell.clock.phaseElapsed, 5u);
  EXPECT_EQ(shell.clock.frameDelta, 10u);
}
