// The port's DirectMusic on FluidSynth, rendered offline: what the tune sounds
// like, when it reports its end, and what loading and unloading leave behind.
#include <gtest/gtest.h>

#include <cmath>

#include "port_dmusic/port_music.h"

namespace {

const double TuneEnd = 2.0;  // the last note of KnownSong ends here
// The reverb keeps a tiny offset in its lines, so silence is not quite zero.
const double Silence = 1e-6;

std::vector<float> Mono(const std::vector<float>& left, const std::vector<float>& right) {
  std::vector<float> mono(left.size());
  for (size_t i = 0; i < left.size(); ++i) mono[i] = left[i] + right[i];
  return mono;
}

size_t At(double seconds) { return size_t(seconds * MusicSampleRate); }

TEST(PortMusicPlayback, TheTuneSoundsAtOnceAndStaysClearOfClipping) {
  PortMusicSession music(MusicSinkKind::Offline);
  ASSERT_EQ(music.started, S_OK);
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  std::vector<float> sound = music.Render(2.5);
  ASSERT_FALSE(sound.empty());
  double first = FirstSoundSeconds(sound);
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 0.05);
  EXPECT_GT(Peak(sound), 0.05);
  EXPECT_LT(Peak(sound), 1.0);
}

TEST(PortMusicPlayback, EveryChannelSoundsWithItsOwnInstrumentAtThePitchOfItsNotes) {
  PortMusicSession music(MusicSinkKind::OfflineStems);
  ASSERT_EQ(music.started, S_OK);
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  auto stems = music.RenderStems(2.2);
  ASSERT_EQ(stems.size(), 32u);

  auto channel = [&](int c) { return Mono(stems[2 * c], stems[2 * c + 1]); };
  auto pitch = [&](int c, double from) { return PeakFrequency(channel(c), At(from), At(0.2), 100, 2000); };
  // Channel 0 plays keys 69 and 81 on the A440 sine, channel 1 keys 57 and 64
  // on the 220 Hz sine.
  EXPECT_NEAR(pitch(0, 0.15), KeyFrequency(69), KeyFrequency(69) * 0.005);
  EXPECT_NEAR(pitch(0, 0.65), KeyFrequency(81), KeyFrequency(81) * 0.005);
  EXPECT_NEAR(pitch(1, 1.15), KeyFrequency(57), KeyFrequency(57) * 0.005);
  EXPECT_NEAR(pitch(1, 1.65), KeyFrequency(64), KeyFrequency(64) * 0.005);
  // Each channel is quiet where it has no note.
  EXPECT_LT(Peak(channel(0), At(1.2), At(2.2)), 1e-3);
  EXPECT_LT(Peak(channel(1), 0, At(0.95)), 1e-3);
  // The drums sound on channel 10 at both hits, and nothing else does.
  EXPECT_GT(Peak(channel(9), 0, At(0.2)), 0.01);
  EXPECT_GT(Peak(channel(9), At(1.0), At(1.2)), 0.01);
  for (int c : {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}) EXPECT_EQ(Peak(channel(c)), 0.0) << "channel " << c;
}

TEST(PortMusicNotifications, OneStopIsReportedShortlyAfterTheTuneEndsAndNoMore) {
  PortMusicSession music(MusicSinkKind::Offline);
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  double stoppedAt = -1;
  int stops = 0;
  for (double t = 0; t < 6.0; t += 0.02) {
    ASSERT_FALSE(music.Render(0.02).empty());
    int now = music.TakeStopNotifications();
    if (now && stoppedAt < 0) stoppedAt = t;
    stops += now;
  }
  EXPECT_EQ(stops, 1);
  EXPECT_GE(stoppedAt, TuneEnd - 0.02);
  EXPECT_LT(stoppedAt, TuneEnd + 0.5);
}

TEST(PortMusicNotifications, AStopAskedForSilencesTheTuneWithoutAReport) {
  PortMusicSession music(MusicSinkKind::Offline);
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  ASSERT_GT(Peak(music.Render(0.3)), 0.01);
  EXPECT_EQ(music.performance->Stop(nullptr, nullptr, 0, 0), S_OK);
  music.Render(0.5);  // what the reverb still holds
  EXPECT_LT(Peak(music.Render(3.0)), Silence);
  EXPECT_EQ(music.TakeStopNotifications(), 0);
}

TEST(PortMusicNotifications, NoReportIsSentUnlessPerformanceNotificationsWereAskedFor) {
  PortMusicSession music(MusicSinkKind::Offline, false);
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  music.Render(4.5);
  DMUS_NOTIFICATION_PMSG* message = nullptr;
  EXPECT_EQ(music.performance->GetNotificationPMsg(&message), S_FALSE);
  EXPECT_EQ(message, nullptr);
}

TEST(PortMusicRestart, ReloadingAfterTheStopPlaysTheTuneAgainFromItsStart) {
  PortMusicSession music(MusicSinkKind::Offline);
  Bytes dls = KnownInstruments();
  Bytes midi = BuildMidiFile(KnownSong());
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(music.Load(midi, &dls), S_OK) << "round " << round;
    ASSERT_EQ(music.Play(), S_OK);
    std::vector<float> start = music.Render(0.1);
    EXPECT_GE(FirstSoundSeconds(start), 0.0) << "round " << round;
    EXPECT_LT(FirstSoundSeconds(start), 0.05) << "round " << round;
    int stops = 0;
    for (double t = 0.1; t < 3.0 && !stops; t += 0.02) {
      music.Render(0.02);
      stops = music.TakeStopNotifications();
    }
    EXPECT_EQ(stops, 1) << "round " << round;
  }
}

TEST(PortMusicInstruments, OnlyTheConnectedCollectionVoicesTheTune) {
  PortMusicSession music(MusicSinkKind::Offline);
  Bytes midi = BuildMidiFile(KnownSong());
  // No collection connected: nothing else stands in for it.
  ASSERT_EQ(music.Load(midi, nullptr), S_FALSE);
  ASSERT_EQ(music.Play(), S_OK);
  EXPECT_LT(Peak(music.Render(2.0)), Silence);

  // Connected and downloaded, then unloaded again: silent once more.
  Bytes dls = KnownInstruments();
  ASSERT_EQ(music.Load(midi, &dls), S_OK);
  EXPECT_EQ(music.segment->SetParam(GUID_Unload, 0xFFFFFFFF, 0, 0, music.performance), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  EXPECT_LT(Peak(music.Render(2.0)), Silence);

  // Downloaded afresh: it sounds.
  ASSERT_EQ(music.segment->SetParam(GUID_Download, 0xFFFFFFFF, 0, 0, music.performance), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  EXPECT_GT(Peak(music.Render(1.0)), 0.01);
}

TEST(PortMusicThreads, LoadingPlayingAndUnloadingMidTuneStartNoThread) {
  int before = ThreadCount();
  {
    PortMusicSession music(MusicSinkKind::Offline);
    Bytes dls = KnownInstruments();
    Bytes midi = BuildMidiFile(KnownSong());
    ASSERT_EQ(music.Load(midi, &dls), S_OK);
    ASSERT_EQ(music.Play(), S_OK);
    music.Render(0.25);  // notes sounding
    ASSERT_EQ(music.Load(midi, &dls), S_OK);
    ASSERT_EQ(music.Play(), S_OK);
    music.Render(0.25);
    EXPECT_EQ(ThreadCount(), before);
  }
  EXPECT_EQ(ThreadCount(), before);
}

}  // namespace
