// Loading the tune and its instruments from the resources, and the restart rule.
#include "music/music_fixture.h"

namespace {

using Calls = std::vector<std::string>;

Calls LoadAndPlay(int segment, int collection) {
  std::string s = "segment#" + std::to_string(segment), c = "collection#" + std::to_string(collection);
  return {"loader.GetObject(Segment,IID_IDirectMusicSegment)",
          "loader.GetObject(Collection,IID_IDirectMusicCollection)",
          s + ".SetParam(GUID_ConnectToDLSCollection,4294967295,0,0," + c + ")",
          s + ".SetParam(GUID_StandardMIDIFile,4294967295,0,0,performance)",
          s + ".SetParam(GUID_Download,4294967295,0,0,performance)",
          "performance.PlaySegment(" + s + ",0,0,null)"};
}

Calls UnloadAndRelease(int segment, int collection) {
  std::string s = "segment#" + std::to_string(segment);
  return {s + ".SetParam(GUID_Unload,4294967295,0,0,performance)", s + ".Release",
          "collection#" + std::to_string(collection) + ".Release"};
}

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST_F(MusicTest, TheTuneAndItsInstrumentsAreHandedOverFromTheResourcesAndPlayed) {
  ASSERT_EQ(StartMusic(), 1);
  ClearRecordedCalls();
  EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 1);
  EXPECT_EQ(DirectMusicCalls(), LoadAndPlay(1, 1));
  EXPECT_EQ(FakeMusicName(musicPlayer.segment), "segment#1");
  EXPECT_EQ(FakeMusicName(musicPlayer.collection), "collection#1");

  // Each description names a class and memory, and points at the resource's own bytes.
  ASSERT_EQ(fakeDirectMusic.descriptions.size(), 2u);
  struct {
    int id;
    const CLSID* objectClass;
  } expected[] = {{TuneResource, &CLSID_DirectMusicSegment}, {InstrumentsResource, &CLSID_DirectMusicCollection}};
  for (int i = 0; i < 2; ++i) {
    const DMUS_OBJECTDESC& d = fakeDirectMusic.descriptions[i];
    const std::vector<BYTE>& bytes = fakeSystem.resources[{MusicResourceType, expected[i].id}];
    EXPECT_EQ(d.dwSize, sizeof(DMUS_OBJECTDESC));
    EXPECT_EQ(d.dwValidData, 0x402u);
    EXPECT_EQ(d.guidClass, *expected[i].objectClass);
    EXPECT_EQ(d.pbMemData, bytes.data());
    EXPECT_EQ(d.llMemLength, LONGLONG(bytes.size()));
  }
}

TEST_F(MusicTest, NothingPlaysBeforeTheObjectsExist) {
  EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 0);
  EXPECT_FALSE(CallMade("FindResourceA"));
}

TEST_F(MusicTest, AMissingResourceChangesNothingAndTheOldTunePlaysOn) {
  StartPlaying();
  for (int missing : {TuneResource, InstrumentsResource}) {
    auto saved = fakeSystem.resources[{MusicResourceType, missing}];
    fakeSystem.resources.erase({MusicResourceType, missing});
    EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 0) << missing;
    fakeSystem.resources[{MusicResourceType, missing}] = saved;
  }
  // An empty resource counts as missing too.
  fakeSystem.resources[{MusicResourceType, InstrumentsResource}].clear();
  EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 0);
  EXPECT_EQ(DirectMusicCalls(), Calls());
  EXPECT_EQ(FakeMusicName(musicPlayer.segment), "segment#1");
  EXPECT_EQ(FakeMusicName(musicPlayer.collection), "collection#1");
}

TEST_F(MusicTest, ASongWithoutCollectionLetsTheOldCollectionGoAndConnectsNone) {
  StartPlaying();
  EXPECT_EQ(PlayResourceSong(TuneResource, 0), 1);
  EXPECT_EQ(DirectMusicCalls(),
            Calls({"segment#1.SetParam(GUID_Unload,4294967295,0,0,performance)", "segment#1.Release",
                   "collection#1.Release", "loader.GetObject(Segment,IID_IDirectMusicSegment)",
                   "segment#2.SetParam(GUID_StandardMIDIFile,4294967295,0,0,performance)",
                   "segment#2.SetParam(GUID_Download,4294967295,0,0,performance)",
                   "performance.PlaySegment(segment#2,0,0,null)"}));
  EXPECT_EQ(musicPlayer.collection, nullptr);
  EXPECT_EQ(LiveFakeMusicObjects(), Calls({"performance", "loader", "segment#2"}));
}

TEST_F(MusicTest, AFailingLoadOrConnectionStopsShortOfPlaying) {
  for (const char* failing :
       {"Loader.GetObject(Segment)", "Loader.GetObject(Collection)", "Segment.SetParam(GUID_ConnectToDLSCollection)"}) {
    SetUp();
    ASSERT_EQ(StartMusic(), 1);
    fakeDirectMusic.failures[failing] = DMUS_E_LOADER_FAILEDOPEN;
    EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 0) << failing;
    EXPECT_FALSE(CallMade("segment#1.SetParam(GUID_Download")) << failing;
    EXPECT_FALSE(CallMade("performance.PlaySegment")) << failing;
    StopMusic();
    EXPECT_EQ(LiveFakeMusicObjects(), Calls()) << failing;
  }
}

TEST_F(MusicTest, IgnoredResultsDoNotStopTheTune) {
  ASSERT_EQ(StartMusic(), 1);
  fakeDirectMusic.failures["Segment.SetParam(GUID_StandardMIDIFile)"] = E_FAIL;
  fakeDirectMusic.failures["Segment.SetParam(GUID_Download)"] = E_FAIL;
  fakeDirectMusic.failures["Performance.PlaySegment"] = E_FAIL;
  EXPECT_EQ(PlayResourceSong(TuneResource, InstrumentsResource), 1);
  EXPECT_TRUE(CallMade("performance.PlaySegment(segment#1"));
}

TEST_F(MusicTest, AStopNotificationReloadsEverythingAndPlaysTheTuneFromTheStart) {
  StartPlaying();
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  PumpMusicNotifications();
  EXPECT_EQ(DirectMusicCalls(), Join({{"performance.GetNotificationPMsg"},
                                      UnloadAndRelease(1, 1),
                                      LoadAndPlay(2, 2),
                                      {"performance.FreePMsg(message#1)", "performance.GetNotificationPMsg"}}));
  EXPECT_EQ(fakeDirectMusic.messagesOut, 0);
  EXPECT_EQ(LiveFakeMusicObjects(), Calls({"performance", "loader", "segment#2", "collection#2"}));
}

TEST_F(MusicTest, OtherNotificationsAreFreedWithoutAReload) {
  StartPlaying();
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTARTED);
  QueueNotification(GUID_Download, DMUS_NOTIFICATION_MUSICSTOPPED);  // the right option under another type
  PumpMusicNotifications();
  EXPECT_EQ(DirectMusicCalls(), Calls({"performance.GetNotificationPMsg", "performance.FreePMsg(message#1)",
                                       "performance.GetNotificationPMsg", "performance.FreePMsg(message#2)",
                                       "performance.GetNotificationPMsg"}));
  EXPECT_EQ(fakeDirectMusic.messagesOut, 0);
}

TEST_F(MusicTest, TwoStopsInOneTickReloadTwiceAndTheFirstReloadIsLetGoByTheSecond) {
  StartPlaying();
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  PumpMusicNotifications();
  EXPECT_EQ(DirectMusicCalls(), Join({{"performance.GetNotificationPMsg"},
                                      UnloadAndRelease(1, 1),
                                      LoadAndPlay(2, 2),
                                      {"performance.FreePMsg(message#1)", "performance.GetNotificationPMsg"},
                                      UnloadAndRelease(2, 2),
                                      LoadAndPlay(3, 3),
                                      {"performance.FreePMsg(message#2)", "performance.GetNotificationPMsg"}}));
  EXPECT_EQ(LiveFakeMusicObjects(), Calls({"performance", "loader", "segment#3", "collection#3"}));
}

TEST_F(MusicTest, AFailingNotificationQueueEndsThePumpWithNothingToFree) {
  StartPlaying();
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  fakeDirectMusic.failures["Performance.GetNotificationPMsg"] = E_FAIL;
  PumpMusicNotifications();
  EXPECT_EQ(DirectMusicCalls(), Calls({"performance.GetNotificationPMsg"}));
}

TEST_F(MusicTest, AFailedReloadLeavesTheMusicSilentButTheMessageIsStillFreed) {
  StartPlaying();
  fakeDirectMusic.failures["Loader.GetObject(Collection)"] = E_FAIL;
  QueueNotification(GUID_NOTIFICATION_PERFORMANCE, DMUS_NOTIFICATION_MUSICSTOPPED);
  PumpMusicNotifications();
  EXPECT_FALSE(CallMade("performance.PlaySegment"));
  EXPECT_TRUE(CallMade("performance.FreePMsg(message#1)"));
  EXPECT_EQ(FakeMusicName(musicPlayer.segment), "segment#2");
  EXPECT_EQ(musicPlayer.collection, nullptr);
}

TEST_F(MusicTest, WithoutMusicThePumpAsksNothing) {
  PumpMusicNotifications();
  EXPECT_EQ(DirectMusicCalls(), Calls());
}

}  // namespace
