// Switching the music on and off, creating the DirectMusic objects and taking
// them apart again.
#include "music/music_fixture.h"

namespace {

using Calls = std::vector<std::string>;

TEST_F(MusicTest, WithMusicSwitchedOffNothingOfDirectMusicIsTouchedAtAll) {
  StoreMusicSetting(0);
  EXPECT_EQ(StartMusic(), 1);
  EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 0);
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  PumpMusicNotifications();
  StopMusic();
  EXPECT_EQ(DirectMusicCalls(), Calls());
  EXPECT_FALSE(CallMade("CoCreateInstance"));
  EXPECT_FALSE(CallMade("FindResourceA"));
}

TEST_F(MusicTest, WithNoMusicValueStoredOneIsStoredAndDirectMusicStartsInOrder) {
  EXPECT_EQ(StartMusic(), 1);
  EXPECT_EQ(fakeSystem.registry["music"].type, DWORD(REG_DWORD));
  EXPECT_EQ(fakeSystem.registry["music"].data, std::vector<BYTE>({1, 0, 0, 0}));
  char window[32];
  std::snprintf(window, sizeof window, "%p", (void*)shell.mainWindow);
  EXPECT_EQ(DirectMusicCalls(), Calls({"CoCreateInstance(DirectMusicPerformance,3)",
                                       "performance.Init(null,null," + std::string(window) + ")",
                                       "performance.AddPort(null)", "CoCreateInstance(DirectMusicLoader,3)",
                                       "loader.SetSearchDirectory(GUID_DirectMusicAllTypes,/fake/cwd,0)",
                                       "performance.AddNotificationType(GUID_NOTIFICATION_PERFORMANCE)"}));
  EXPECT_NE(musicPlayer.performance, nullptr);
  EXPECT_NE(musicPlayer.loader, nullptr);
  EXPECT_EQ(musicPlayer.segment, nullptr);
  EXPECT_EQ(musicPlayer.collection, nullptr);
}

TEST_F(MusicTest, AnyValueButZeroSwitchesTheMusicOn) {
  StoreMusicSetting(7);
  EXPECT_EQ(StartMusic(), 1);
  EXPECT_NE(musicPlayer.performance, nullptr);
}

TEST_F(MusicTest, AFailingStartStepEndsThereWithZeroAndShutdownReleasesWhatWasMade) {
  struct Case {
    const char* failing;
    const char* lastCall;
  } cases[] = {
      {"Performance.Init", "performance.Init"},
      {"Performance.AddPort", "performance.AddPort"},
      {"DirectMusicLoader", "CoCreateInstance(DirectMusicLoader"},
      {"Loader.SetSearchDirectory", "loader.SetSearchDirectory"},
  };
  for (const Case& c : cases) {
    SetUp();
    if (std::string(c.failing).find('.') == std::string::npos)
      fakeComFailures[c.failing] = E_FAIL;
    else
      fakeDirectMusic.failures[c.failing] = E_FAIL;
    EXPECT_EQ(StartMusic(), 0) << c.failing;
    Calls calls = DirectMusicCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind(c.lastCall, 0), 0u) << c.failing << ": " << calls.back();
    StopMusic();
    EXPECT_EQ(LiveFakeMusicObjects(), Calls()) << c.failing;
  }
}

TEST_F(MusicTest, NoPerformanceMeansNoStartAndNothingToRelease) {
  fakeComFailures["DirectMusicPerformance"] = REGDB_E_CLASSNOTREG;
  EXPECT_EQ(StartMusic(), 0);
  EXPECT_EQ(DirectMusicCalls(), Calls({"CoCreateInstance(DirectMusicPerformance,3)"}));
  StopMusic();
  EXPECT_EQ(DirectMusicCalls().size(), 1u);
}

TEST_F(MusicTest, TheNotificationTypeFailingIsNoFailure) {
  fakeDirectMusic.failures["Performance.AddNotificationType"] = E_FAIL;
  EXPECT_EQ(StartMusic(), 1);
}

TEST_F(MusicTest, ASecondStartCreatesNothingWhicheverObjectIsAlreadySet) {
  ASSERT_EQ(StartMusic(), 1);
  ClearRecordedCalls();
  EXPECT_EQ(StartMusic(), 1);
  EXPECT_EQ(CreateMusicObjects(), 1);
  EXPECT_EQ(DirectMusicCalls(), Calls());

  // Any one pointer left set is enough to hold it back.
  IDirectMusicPerformance* performance = musicPlayer.performance;
  IDirectMusicLoader* loader = musicPlayer.loader;
  musicPlayer = MusicPlayer();
  musicPlayer.collection = reinterpret_cast<IDirectMusicCollection*>(loader);
  EXPECT_EQ(CreateMusicObjects(), 1);
  EXPECT_EQ(DirectMusicCalls(), Calls());
  musicPlayer.collection = nullptr;
  musicPlayer.performance = performance;
  musicPlayer.loader = loader;
}

TEST_F(MusicTest, StopTakesEverythingDownInReverseAndASecondStopDoesNothing) {
  StartPlaying();
  StopMusic();
  EXPECT_EQ(DirectMusicCalls(),
            Calls({"performance.Stop(null,null,0,0)", "segment#1.SetParam(GUID_Unload,4294967295,0,0,performance)",
                   "segment#1.Release", "performance.CloseDown", "performance.Release", "collection#1.Release",
                   "loader.Release"}));
  EXPECT_EQ(LiveFakeMusicObjects(), Calls());
  EXPECT_EQ(musicPlayer.performance, nullptr);
  EXPECT_EQ(musicPlayer.loader, nullptr);
  EXPECT_EQ(musicPlayer.segment, nullptr);
  EXPECT_EQ(musicPlayer.collection, nullptr);

  ClearRecordedCalls();
  StopMusic();
  EXPECT_EQ(DirectMusicCalls(), Calls());
}

TEST_F(MusicTest, StopBeforeAnyTuneSkipsTheUnload) {
  ASSERT_EQ(StartMusic(), 1);
  ClearRecordedCalls();
  StopMusic();
  EXPECT_EQ(DirectMusicCalls(), Calls({"performance.Stop(null,null,0,0)", "performance.CloseDown",
                                       "performance.Release", "loader.Release"}));
}

}  // namespace
