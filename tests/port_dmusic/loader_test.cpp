// What the port's loader and segment accept from a caller, and what they turn down.
#include <gtest/gtest.h>

#include "port_dmusic/port_music.h"

namespace {

struct LoaderTest : ::testing::Test {
  PortMusicSession music{MusicSinkKind::Offline};
  Bytes midi = BuildMidiFile(KnownSong());
  Bytes dls = KnownInstruments();
  IUnknown* object = nullptr;
  void TearDown() override {
    if (object) object->Release();
  }
};

TEST_F(LoaderTest, TakesOnlyADescriptionOfItsOwnSize) {
  EXPECT_EQ(DescribeAndGet(music.loader, CLSID_DirectMusicCollection, dls, IID_IDirectMusicCollection, (void**)&object),
            S_OK);
  ASSERT_NE(object, nullptr);
  object->Release();
  object = nullptr;
  EXPECT_EQ(DescribeAndGet(music.loader, CLSID_DirectMusicSegment, midi, IID_IDirectMusicSegment, (void**)&object, 100),
            E_INVALIDARG);
  EXPECT_EQ(object, nullptr);
}

TEST_F(LoaderTest, TurnsDownBytesThatAreNotWhatTheClassSays) {
  EXPECT_EQ(DescribeAndGet(music.loader, CLSID_DirectMusicSegment, dls, IID_IDirectMusicSegment, (void**)&object),
            DMUS_E_UNSUPPORTED_STREAM);
  EXPECT_EQ(
      DescribeAndGet(music.loader, CLSID_DirectMusicCollection, midi, IID_IDirectMusicCollection, (void**)&object),
      DMUS_E_NOTADLSCOL);
  Bytes truncated(midi.begin(), midi.end() - 10);
  EXPECT_EQ(DescribeAndGet(music.loader, CLSID_DirectMusicSegment, truncated, IID_IDirectMusicSegment, (void**)&object),
            DMUS_E_UNSUPPORTED_STREAM);
  Bytes fewerTracks = midi;
  fewerTracks[11] += 1;  // announces one track more than it holds
  EXPECT_EQ(
      DescribeAndGet(music.loader, CLSID_DirectMusicSegment, fewerTracks, IID_IDirectMusicSegment, (void**)&object),
      DMUS_E_UNSUPPORTED_STREAM);
  EXPECT_EQ(DescribeAndGet(music.loader, CLSID_DirectMusicSegment, midi, IID_IDirectMusicCollection, (void**)&object),
            E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(LoaderTest, ReadsNoFiles) {
  DMUS_OBJECTDESC description = {};
  description.dwSize = sizeof description;
  description.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
  description.guidClass = CLSID_DirectMusicSegment;
  description.wszFileName[0] = u'a';
  EXPECT_EQ(music.loader->GetObject(&description, IID_IDirectMusicSegment, (void**)&object), DMUS_E_LOADER_FAILEDOPEN);
  EXPECT_EQ(object, nullptr);
  WCHAR directory[] = u"/nowhere/in/particular";
  EXPECT_EQ(music.loader->SetSearchDirectory(GUID_DirectMusicAllTypes, directory, FALSE), S_OK);
}

TEST_F(LoaderTest, ASegmentTakesOnlyItsOwnKindOfParameters) {
  ASSERT_EQ(
      DescribeAndGet(music.loader, CLSID_DirectMusicSegment, midi, IID_IDirectMusicSegment, (void**)&music.segment),
      S_OK);
  EXPECT_EQ(music.segment->SetParam(GUID_ConnectToDLSCollection, 0xFFFFFFFF, 0, 0, nullptr), E_POINTER);
  EXPECT_EQ(music.segment->SetParam(GUID_ConnectToDLSCollection, 0xFFFFFFFF, 0, 0, music.performance), E_INVALIDARG);
  EXPECT_EQ(music.segment->SetParam(GUID_Download, 0xFFFFFFFF, 0, 0, music.loader), E_INVALIDARG);
  EXPECT_EQ(music.segment->SetParam(GUID_NOTIFICATION_PERFORMANCE, 0xFFFFFFFF, 0, 0, music.performance),
            DMUS_E_SET_UNSUPPORTED);
  // Unloading what was never downloaded changes nothing.
  EXPECT_EQ(music.segment->SetParam(GUID_Unload, 0xFFFFFFFF, 0, 0, music.performance), S_FALSE);
}

TEST_F(LoaderTest, APerformanceHandsBackOnlyTheMessagesItGaveOut) {
  DMUS_PMSG stranger = {};
  EXPECT_EQ(music.performance->FreePMsg(&stranger), DMUS_E_CANNOT_FREE);
  EXPECT_EQ(music.performance->FreePMsg(nullptr), E_POINTER);
  EXPECT_EQ(music.performance->GetNotificationPMsg(nullptr), E_POINTER);
  EXPECT_EQ(music.performance->Init(nullptr, nullptr, nullptr), DMUS_E_ALREADY_INITED);
}

}  // namespace
