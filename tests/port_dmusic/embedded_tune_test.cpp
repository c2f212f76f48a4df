// The tune and the instruments the program carries, played by the port as the
// saver plays them: offline, so every sample can be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "port_dmusic/port_music.h"

namespace {

Bytes ResourceBytes(int id) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(256));
  if (!resource) return {};
  auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, resource)));
  return Bytes(data, data + SizeofResource(nullptr, resource));
}

struct EmbeddedTuneTest : ::testing::Test {
  Bytes tune = ResourceBytes(112);
  Bytes instruments = ResourceBytes(113);
  MidiSummary score;
  void SetUp() override {
    ASSERT_FALSE(tune.empty());
    ASSERT_FALSE(instruments.empty());
    ASSERT_TRUE(ReadMidiFile(tune, &score));
    ASSERT_FALSE(score.notes.empty());
  }
  // When each channel the tune uses first sounds.
  std::map<int, double> FirstNotes() const {
    std::map<int, double> first;
    for (auto& n : score.notes)
      if (!first.count(n.channel) || n.start < first[n.channel]) first[n.channel] = n.start;
    return first;
  }
};

TEST_F(EmbeddedTuneTest, SoundsWithinASecondNeverClipsAndReportsOneStopAfterItsEnd) {
  PortMusicSession music(MusicSinkKind::Offline);
  ASSERT_EQ(music.Load(tune, &instruments), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  std::vector<float> opening = music.Render(1.0);
  double first = FirstSoundSeconds(opening);
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 1.0);
  double peak = Peak(opening), quietest = 1;
  int stops = 0;
  double stoppedAt = -1;
  const double step = 0.05;
  for (double t = 1.0; t < score.lastEvent + 6.0; t += step) {
    std::vector<float> block = music.Render(step);
    peak = std::max(peak, Peak(block));
    if (t > 5 && t < score.lastEvent - 5) quietest = std::min(quietest, Peak(block));
    int now = music.TakeStopNotifications();
    if (now && stoppedAt < 0) stoppedAt = t + step;
    stops += now;
  }
  EXPECT_LT(peak, 1.0);
  EXPECT_GT(peak, 0.25);  // loud enough to be heard over a room
  EXPECT_GT(quietest, 1e-3) << "a gap of silence inside the tune";
  EXPECT_EQ(stops, 1);
  EXPECT_GE(stoppedAt, score.lastEvent);
  EXPECT_LT(stoppedAt, score.lastEvent + 4.0);
}

TEST_F(EmbeddedTuneTest, EveryChannelTheTuneUsesSoundsAndNoOtherDoes) {
  auto first = FirstNotes();
  double until = 0;
  for (auto& f : first) until = std::max(until, f.second + 1.0);
  PortMusicSession music(MusicSinkKind::OfflineStems);
  ASSERT_EQ(music.Load(tune, &instruments), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  auto stems = music.RenderStems(until);
  ASSERT_EQ(stems.size(), 32u);
  for (int c = 0; c < 16; ++c) {
    double peak = std::max(Peak(stems[2 * c]), Peak(stems[2 * c + 1]));
    if (first.count(c))
      EXPECT_GT(peak, 0.01) << "channel " << c + 1 << " is silent";
    else
      EXPECT_EQ(peak, 0.0) << "channel " << c + 1 << " plays no notes but sounds";
  }
}

// A note is measured where it sounds alone on its channel, past its attack, by
// the strongest partial between the octaves below and above it.
TEST_F(EmbeddedTuneTest, MelodicNotesSoundAtThePitchOfTheirKeys) {
  const double shortest = 0.06, longest = 0.25, settle = 0.04;
  std::map<int, std::vector<PlayedNote>> alone;
  for (auto& n : score.notes) {
    if (n.channel == 9 || n.end - n.start < settle + shortest + 0.01 || n.start > 40) continue;
    bool overlaps = std::any_of(score.notes.begin(), score.notes.end(), [&](const PlayedNote& o) {
      return &o != &n && o.channel == n.channel && o.start < n.end && o.end + 0.3 > n.start;
    });
    if (!overlaps && alone[n.channel].size() < 6) alone[n.channel].push_back(n);
  }
  ASSERT_GE(alone.size(), 3u) << "too few lone notes to measure";
  double until = 0;
  for (auto& a : alone)
    for (auto& n : a.second) until = std::max(until, n.end + 0.1);

  PortMusicSession music(MusicSinkKind::OfflineStems);
  ASSERT_EQ(music.Load(tune, &instruments), S_OK);
  ASSERT_EQ(music.Play(), S_OK);
  auto stems = music.RenderStems(until);
  ASSERT_EQ(stems.size(), 32u);
  int measured = 0;
  for (auto& a : alone) {
    int c = a.first, inTune = 0;
    std::string heard;
    std::vector<float> mono(stems[2 * c].size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = stems[2 * c][i] + stems[2 * c + 1][i];
    for (auto& n : a.second) {
      double expected = KeyFrequency(n.key);
      double window = std::min(longest, n.end - n.start - settle - 0.01);
      // Between the neighbouring octaves only, so a harmonic cannot pass for the note.
      double got = PeakFrequency(mono, size_t((n.start + settle) * MusicSampleRate), size_t(window * MusicSampleRate),
                                 expected / 1.6, expected * 1.6);
      if (std::fabs(got / expected - 1) < 0.015) ++inTune;
      heard += " key " + std::to_string(n.key) + ": " + std::to_string(got) + " Hz for " + std::to_string(expected);
      ++measured;
    }
    // Most notes of each instrument, for vibrato and chorus may blur one or two.
    EXPECT_GE(inTune * 4, int(a.second.size()) * 3) << "channel " << c + 1 << heard;
  }
  EXPECT_GE(measured, 10);
}

}  // namespace
