// A saver window, a registry and the two music resources, all stand-ins, with
// the player's record cleared before each test.
#pragma once

#include <gtest/gtest.h>

#include "music/music.h"
#include "shell/shell.h"
#include "support/fake_com.h"
#include "support/fake_dmusic.h"
#include "support/fake_win32.h"

struct MusicTest : ::testing::Test {
  void SetUp() override {
    ResetFakeSystem();
    ResetFakeDirectMusic();
    fakeComFailures.clear();
    musicPlayer = MusicPlayer();
    shell = ShellState();
    shell.mainWindow = reinterpret_cast<HWND>(uintptr_t(0x5A7E));
    fakeSystem.resources[{MusicResourceType, TuneResource}] = {'M', 'T', 'h', 'd', 1, 2, 3};
    fakeSystem.resources[{MusicResourceType, InstrumentsResource}] = {'R', 'I', 'F', 'F', 4, 5, 6, 7, 8};
  }
  void TearDown() override { StopMusic(); }

  void StoreMusicSetting(DWORD value) {
    fakeSystem.registry["music"] = {REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
  }
  // Music on, objects created and the tune playing; the log starts afresh.
  void StartPlaying() {
    ASSERT_EQ(StartMusic(), 1);
    ASSERT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 1);
    ClearRecordedCalls();
  }
  void QueueNotification(const GUID& type, DWORD option) { fakeDirectMusic.notifications.push_back({type, option}); }
};
