// The tune as a file: a format 1 Standard MIDI File with a conductor track and
// one track per part, a minute or two long, with bars of 5/4, drums on
// channel 10, only instruments the collection has, and an ending that lets
// it start over cleanly.
#include "music_assets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

const MidiFile &Tune() {
  std::string error;
  const MidiFile &tune = BuiltTune(&error);
  EXPECT_EQ(error, "");
  return tune;
}

const int drumChannel = 9;

std::vector<const MidiEvent *> MetaEvents(const MidiFile &tune, uint8_t type) {
  std::vector<const MidiEvent *> found;
  for (const MidiTrack &track : tune.tracks)
    for (const MidiEvent &event : track.events)
      if (event.status == 0xFF && event.metaType == type) found.push_back(&event);
  return found;
}

uint32_t EndTick(const MidiFile &tune) {
  uint32_t end = 0;
  for (const MidiTrack &track : tune.tracks) end = std::max(end, track.endTick);
  return end;
}

}  // namespace

TEST(TuneFile, IsFormatOneWithAConductorTrackAndOneTrackPerPart) {
  const MidiFile &tune = Tune();
  EXPECT_EQ(tune.format, 1);
  EXPECT_EQ(tune.division, 480);
  ASSERT_GE(tune.tracks.size(), 6u);
  bool tempoAtStart = false, meterAtStart = false;
  for (const MidiEvent &event : tune.tracks[0].events) {
    EXPECT_EQ(event.status, 0xFF) << "the conductor track plays no notes";
    tempoAtStart |= event.metaType == 0x51 && event.tick == 0;
    meterAtStart |= event.metaType == 0x58 && event.tick == 0;
  }
  EXPECT_TRUE(tempoAtStart);
  EXPECT_TRUE(meterAtStart);
  std::set<int> channels;
  for (size_t t = 1; t < tune.tracks.size(); t++) {
    std::set<int> used;
    for (const MidiEvent &event : tune.tracks[t].events)
      if (event.Channel() >= 0) used.insert(event.Channel());
    ASSERT_EQ(used.size(), 1u) << "track " << t;
    EXPECT_TRUE(channels.insert(*used.begin()).second) << "two tracks play channel " << *used.begin();
    EXPECT_TRUE(ChannelHasNotes(tune, *used.begin())) << "track " << t;
  }
}

TEST(TuneFile, LastsBetweenOneAndTwoMinutes) {
  double seconds = SecondsAt(Tune(), EndTick(Tune()));
  EXPECT_GE(seconds, 60.0);
  EXPECT_LE(seconds, 120.0);
}

TEST(TuneFile, MixesBarsOfFourAndFiveBeatsAndEndsOnABarLine) {
  const MidiFile &tune = Tune();
  std::map<uint32_t, int> meters;
  for (const MidiEvent *event : MetaEvents(tune, 0x58)) {
    ASSERT_EQ(event->metaData.size(), 4u);
    EXPECT_EQ(event->metaData[1], 2) << "quarter-note beats";
    meters[event->tick] = event->metaData[0];
  }
  ASSERT_TRUE(meters.count(0));
  uint32_t end = EndTick(tune), tick = 0;
  int fiveBeatBars = 0, fourBeatBars = 0;
  std::set<uint32_t> barLines;
  while (tick < end) {
    barLines.insert(tick);
    int beats = std::prev(meters.upper_bound(tick))->second;
    fiveBeatBars += beats == 5;
    fourBeatBars += beats == 4;
    tick += uint32_t(beats) * tune.division;
  }
  for (const auto &meter : meters)
    EXPECT_TRUE(barLines.count(meter.first)) << "meter changes inside a bar at " << meter.first;
  EXPECT_EQ(tick, end) << "the tune stops inside a bar";
  EXPECT_GE(fiveBeatBars, 2);
  EXPECT_GT(fourBeatBars, fiveBeatBars);
}

TEST(TuneFile, PlaysDrumsOnChannelTenWithTheCollectionsKit) {
  const MidiFile &tune = Tune();
  ASSERT_TRUE(ChannelHasNotes(tune, drumChannel));
  ChannelSelection selection = SelectionOfChannel(tune, drumChannel);
  ASSERT_GE(selection.program, 0);
  uint32_t bank = dlsDrumFlag | uint32_t(selection.bankMsb << 8 | selection.bankLsb);
  const DlsInstrumentInfo *kit = FindInstrument(BuiltCollection(), bank, uint32_t(selection.program));
  ASSERT_NE(kit, nullptr);
  std::set<int> keys;
  for (const DlsRegionInfo &region : kit->regions) keys.insert(region.keyLow);
  for (const MidiTrack &track : tune.tracks) {
    for (const MidiEvent &event : track.events) {
      if (event.Channel() == drumChannel && event.IsNoteOn()) {
        EXPECT_TRUE(keys.count(event.data1)) << "no drum on key " << int(event.data1);
      }
    }
  }
}

TEST(TuneFile, SelectsOnlyInstrumentsTheCollectionHasBeforeTheirFirstNote) {
  const MidiFile &tune = Tune();
  const DlsCollectionInfo &collection = BuiltCollection();
  int parts = 0;
  for (int channel = 0; channel < 16; channel++) {
    if (!ChannelHasNotes(tune, channel)) continue;
    parts++;
    ChannelSelection selection = SelectionOfChannel(tune, channel);
    ASSERT_GE(selection.program, 0) << "channel " << channel + 1 << " never selects an instrument";
    EXPECT_EQ(selection.programTick, 0u) << "channel " << channel + 1;
    if (channel == drumChannel) continue;
    EXPECT_EQ(selection.bankMsb, 0);
    EXPECT_EQ(selection.bankLsb, 0);
    const DlsInstrumentInfo *instrument = FindInstrument(collection, 0, uint32_t(selection.program));
    ASSERT_NE(instrument, nullptr) << "program " << selection.program << " on channel " << channel + 1;
    for (const MidiTrack &track : tune.tracks) {
      for (const MidiEvent &event : track.events) {
        if (event.Channel() == channel && event.Kind() == 0xC0) {
          EXPECT_EQ(event.data1, selection.program) << "channel " << channel + 1 << " changes instrument";
        }
      }
    }
  }
  EXPECT_GE(parts, 8);
}

TEST(TuneFile, EndsWithEveryNoteReleasedSoItCanStartOver) {
  const MidiFile &tune = Tune();
  uint32_t end = EndTick(tune);
  for (size_t t = 0; t < tune.tracks.size(); t++) {
    const MidiTrack &track = tune.tracks[t];
    EXPECT_EQ(track.endTick, end) << "track " << t << " ends early";
    std::map<int, uint32_t> sounding;  // key -> since
    for (const MidiEvent &event : track.events) {
      if (event.IsNoteOn()) {
        EXPECT_FALSE(sounding.count(event.data1))
            << "key " << int(event.data1) << " struck again while held, track " << t;
        EXPECT_LT(event.tick, end);
        sounding[event.data1] = event.tick;
      } else if (event.IsNoteOff()) {
        EXPECT_TRUE(sounding.erase(event.data1)) << "release of a key not held, track " << t;
      } else if (event.Kind() == 0xE0) {
        ADD_FAILURE() << "pitch bend would outlast a restart";
      }
    }
    EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes still held at the end of track " << t;
  }
}

TEST(TuneFile, KeepsToTheScaleOfItsKeySignature) {
  const MidiFile &tune = Tune();
  std::vector<const MidiEvent *> keys = MetaEvents(tune, 0x59);
  ASSERT_EQ(keys.size(), 1u);
  int sharps = int8_t(keys[0]->metaData[0]);
  ASSERT_EQ(keys[0]->metaData[1], 0) << "a major key";
  int tonic = ((sharps * 7) % 12 + 12) % 12;
  const int major[] = {0, 2, 4, 5, 7, 9, 11};
  int notes = 0;
  for (const MidiTrack &track : tune.tracks) {
    for (const MidiEvent &event : track.events) {
      if (!event.IsNoteOn() || event.Channel() == drumChannel) continue;
      notes++;
      int degree = (event.data1 - tonic + 12) % 12;
      EXPECT_TRUE(std::count(std::begin(major), std::end(major), degree))
          << "key " << int(event.data1) << " at tick " << event.tick;
    }
  }
  EXPECT_GT(notes, 500);
}

// FluidSynth's DLS loader drops articulation, so each channel carries its
// instrument's envelope and vibrato as SoundFont 2.01 NRPN offsets. They must
// say what the collection says, read as the format has it (on the data entry
// MSB) and as FluidSynth 2.4.0 to 2.4.4 read them (on either byte, then
// aiming at generator 0, the sample's start, which must end at no offset).
TEST(TuneFile, RepeatsEachInstrumentsEnvelopeAsChannelOffsets) {
  const MidiFile &tune = Tune();
  const DlsCollectionInfo &collection = BuiltCollection();
  const std::map<int, double> scale = {{0, 1}, {6, 2}, {23, 2}, {24, 4}, {34, 2}, {36, 2}, {37, 1}, {38, 2}};
  for (bool lsbApplies : {false, true})
    for (int channel = 0; channel < 16; channel++) {
      if (!ChannelHasNotes(tune, channel)) continue;
      ChannelSelection selection = SelectionOfChannel(tune, channel);
      uint32_t bank = channel == drumChannel ? dlsDrumFlag : 0;
      const DlsInstrumentInfo *instrument = FindInstrument(collection, bank, uint32_t(selection.program));
      ASSERT_NE(instrument, nullptr);
      SCOPED_TRACE(lsbApplies ? "acting on either data entry byte" : "acting on the data entry MSB");

      std::map<int, double> offsets;
      std::map<int, int> cc;
      for (const MidiTrack &track : tune.tracks) {
        for (const MidiEvent &event : track.events) {
          if (event.Channel() != channel || event.Kind() != 0xB0) continue;
          cc[event.data1] = event.data2;
          if (event.data1 == 99) cc[98] = -1;
          if ((event.data1 == 6 || (lsbApplies && event.data1 == 38)) && cc[99] == 120 && scale.count(cc[98])) {
            EXPECT_EQ(event.tick, 0u);
            offsets[cc[98]] = ((cc[6] << 7 | cc[38]) - 8192) * scale.at(cc[98]);
            cc[98] = 0;  // FluidSynth aims the next data entry at generator 0
          }
        }
      }
      EXPECT_EQ(offsets[0], 0.0) << instrument->name << ": the sample starts late";
      offsets.erase(0);

      std::map<int, double> expected;  // generator -> offset from the SoundFont default
      auto timecents = [](int32_t value) { return value == int32_t(0x80000000u) ? -12000.0 : value / 65536.0; };
      for (const DlsConnectionInfo &c : instrument->articulation) {
        if (c.source == 0 && c.destination == 0x0206) expected[34] = timecents(c.scale) + 12000;
        if (c.source == 0 && c.destination == 0x0209) expected[38] = timecents(c.scale) + 12000;
        if (c.source == 0 && c.destination == 0x0105) expected[23] = timecents(c.scale) + 12000;
        if (c.source == 0 && c.destination == 0x0104) expected[24] = c.scale / 65536.0;  // same cents scale
        if (c.source == 1 && c.destination == 0x0003) expected[6] = c.scale / 65536.0;
      }
      for (const DlsConnectionInfo &c : instrument->articulation)
        if (c.source == 0 && c.destination == 0x020A && c.scale == 0)
          for (const DlsConnectionInfo &d : instrument->articulation)
            if (d.source == 0 && d.destination == 0x0207) expected[36] = timecents(d.scale) + 12000;

      for (const auto &[generator, value] : expected) {
        ASSERT_TRUE(offsets.count(generator)) << instrument->name << ": no offset for generator " << generator;
        EXPECT_NEAR(offsets[generator], value, 4.0) << instrument->name << ", generator " << generator;
      }
      if (expected.count(36)) {
        EXPECT_GE(offsets[37], 960.0) << instrument->name << " must fade to silence";
      }
      EXPECT_EQ(offsets.size(), expected.size() + (expected.count(36) ? 1 : 0)) << instrument->name;
    }
}
