// The tune and collection played for real, offline, by the system's FluidSynth and the page's
// (its SoundFont, in node): the whole tune once, then single notes of every instrument.
#include "music_assets.h"
#include "tune_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>

namespace {

const int rate = 44100;

struct Synthesiser {
  const char *name;
  decltype(&RenderTune) renderTune;
  decltype(&RenderNote) renderNote;
  std::string (*instruments)();
};
void PrintTo(const Synthesiser &synthesiser, std::ostream *out) { *out << synthesiser.name; }
const Synthesiser synthesisers[] = {
    {"System", RenderTune, RenderNote, CollectionPath},
    {"Page", RenderTuneInPage, RenderNoteInPage, SoundFontPath},
};

const DlsInstrumentInfo *Kit() {
  for (const DlsInstrumentInfo &instrument : BuiltCollection().instruments)
    if (instrument.bank & dlsDrumFlag) return &instrument;
  return nullptr;
}

int UnityNote(const DlsInstrumentInfo &instrument) {
  const DlsRegionInfo &region = instrument.regions.at(0);
  if (region.sample.present) return region.sample.unityNote;
  return BuiltCollection().waves.at(region.poolIndex).sample.unityNote;
}

bool Sustains(const DlsInstrumentInfo &instrument) {
  for (const DlsConnectionInfo &c : instrument.articulation)
    if (c.source == 0 && c.destination == 0x020A) return c.scale == 1000 * 65536;
  return false;
}

uint32_t LastNoteOffTick(const MidiFile &tune) {
  uint32_t last = 0;
  for (const MidiTrack &track : tune.tracks)
    for (const MidiEvent &event : track.events)
      if (event.IsNoteOff()) last = std::max(last, event.tick);
  return last;
}

class TuneRender : public testing::TestWithParam<Synthesiser> {};
INSTANTIATE_TEST_SUITE_P(Synthesisers, TuneRender, testing::ValuesIn(synthesisers),
                         [](const testing::TestParamInfo<Synthesiser> &info) { return info.param.name; });

}  // namespace

TEST_P(TuneRender, WholeTuneWithTheCollectionAloneStartsAtOnceNeverClipsInABalancedStereoMixAndVoicesEveryPart) {
  const MidiFile &tune = BuiltTune();
  Rendering r, system;  // the page's is held against the system's
  std::clock_t began = std::clock();
  ASSERT_TRUE(GetParam().renderTune(ReadFileBytes(TunePath()), GetParam().instruments(), rate, -1, r));
  ASSERT_TRUE(RenderTune(ReadFileBytes(TunePath()), CollectionPath(), rate, -1, system));
  double cpuSeconds = double(std::clock() - began) / CLOCKS_PER_SEC;
  double tuneSeconds = SecondsAt(tune, LastNoteOffTick(tune));
  EXPECT_LT(cpuSeconds, tuneSeconds / 4) << "rendering must run well ahead of real time";

  EXPECT_EQ(r.fontCount, 1) << "nothing but the collection may voice the tune";
  ASSERT_GE(double(r.left.size()) / rate, tuneSeconds);
  // The parts are panned, so either side may carry a passage alone.
  auto level = [&](size_t from, size_t to) { return std::max(Rms(r.left, from, to), Rms(r.right, from, to)); };
  EXPECT_GT(level(0, rate), 0.005) << "silent first second";

  MixFigures mix = MeasureMix(r);
  EXPECT_LT(mix.peak, 0.95f) << "too close to clipping";
  EXPECT_GT(mix.peak, 0.1f) << "far too quiet";
  EXPECT_LT(std::fabs(20 * std::log10(mix.rmsLeft / mix.rmsRight)), 1.5) << "the mix leans to one side";
  EXPECT_LT(mix.correlation, 0.85) << "the mix is all but mono";
  EXPECT_GT(mix.correlation, 0.5) << "the sides have drifted apart: the mix falls apart in mono";

  ASSERT_EQ(r.channelPresets.size(), 16u);
  for (int channel = 0; channel < 16; channel++) {
    if (!ChannelHasNotes(tune, channel)) continue;
    ChannelSelection selection = SelectionOfChannel(tune, channel);
    const DlsInstrumentInfo *instrument =
        FindInstrument(BuiltCollection(), channel == 9 ? dlsDrumFlag : 0, uint32_t(selection.program));
    ASSERT_NE(instrument, nullptr);
    EXPECT_EQ(r.channelPresets[size_t(channel)], instrument->name) << "channel " << channel + 1;
    EXPECT_EQ(r.channelBanks[size_t(channel)], channel == 9 ? 128 : 0) << "channel " << channel + 1;
  }

  for (int channel = 0; channel < 16; channel++) {
    const std::vector<float> &levels = r.channelLevels[size_t(channel)];
    float loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    if (ChannelHasNotes(tune, channel)) {
      EXPECT_GT(loudest, 0.003f) << "channel " << channel + 1 << " plays notes but is not heard";
      // As loud for as long as on the system's: the part's envelope came through alike.
      const std::vector<float> &there = system.channelLevels[size_t(channel)];
      EXPECT_NEAR(20 * std::log10(Rms(levels, 0, levels.size()) / Rms(there, 0, there.size())), 0.0, 1.5)
          << "channel " << channel + 1 << " against FluidSynth " << system.synthVersion;
    } else {
      EXPECT_EQ(loudest, 0.0f) << "channel " << channel + 1 << " sounds without notes";
    }
  }

  // Quiet passages are fine; a second and a half of near silence is a gap.
  const size_t window = rate / 4;
  int quietRun = 0, longestQuietRun = 0;
  for (size_t at = 0; at + window <= size_t(tuneSeconds * rate); at += window) {
    quietRun = level(at, at + window) < 0.001 ? quietRun + 1 : 0;
    longestQuietRun = std::max(longestQuietRun, quietRun);
  }
  EXPECT_LT(longestQuietRun, 6);
}

TEST_P(TuneRender, EachInstrumentSoundsAtThePitchOfItsKey) {
  int checked = 0;
  for (const DlsInstrumentInfo &instrument : BuiltCollection().instruments) {
    if (instrument.bank & dlsDrumFlag) continue;
    int key = UnityNote(instrument) + 3;  // off the unity note, so the wave is retuned
    std::vector<float> note;
    ASSERT_TRUE(
        GetParam().renderNote(GetParam().instruments(), int(instrument.program), false, key, 100, 2.0, rate, note));
    double expected = KeyFrequency(key);
    double measured = StrongestFrequency(note, rate, expected * 0.45, expected * 2.2);
    EXPECT_NEAR(Cents(measured, expected), 0.0, 10.0) << instrument.name << " key " << key;
    checked++;
  }
  EXPECT_GE(checked, 10);
}

TEST_P(TuneRender, EveryKitKeySoundsAndTheTomsFallInPitch) {
  const DlsInstrumentInfo *kit = Kit();
  ASSERT_NE(kit, nullptr);
  std::map<int, double> pitch;
  for (const DlsRegionInfo &region : kit->regions) {
    std::vector<float> hit;
    ASSERT_TRUE(
        GetParam().renderNote(GetParam().instruments(), int(kit->program), true, region.keyLow, 110, 0.5, rate, hit));
    EXPECT_GT(Rms(hit, 0, rate / 5), 0.003) << "key " << region.keyLow;
    pitch[region.keyLow] = StrongestFrequency(hit, rate, 60, 400);
  }
  ASSERT_TRUE(pitch.count(45) && pitch.count(47) && pitch.count(50));
  EXPECT_LT(pitch[45], pitch[47]);
  EXPECT_LT(pitch[47], pitch[50]);
}

TEST_P(TuneRender, HeldNotesOfSustainingInstrumentsKeepTheirLevelThroughTheLoop) {
  int checked = 0;
  for (const DlsInstrumentInfo &instrument : BuiltCollection().instruments) {
    if ((instrument.bank & dlsDrumFlag) || !Sustains(instrument)) continue;
    std::vector<float> note;
    ASSERT_TRUE(GetParam().renderNote(GetParam().instruments(), int(instrument.program), false, UnityNote(instrument),
                                      100, 3.0, rate, note));
    double softest = 1e9, loudest = 0;
    for (size_t at = rate / 2; at + rate / 4 <= note.size(); at += rate / 4) {
      double level = Rms(note, at, at + rate / 4);
      softest = std::min(softest, level);
      loudest = std::max(loudest, level);
    }
    EXPECT_GT(softest, 0.005) << instrument.name << " fades while held";
    EXPECT_LT(loudest / softest, 2.0) << instrument.name << " swells or drops while held";
    checked++;
  }
  EXPECT_GE(checked, 5);
}
