// The instrument collection as a file: a DLS Level 1 form that a strict
// reader accepts, with every wave in the pool reachable and played, loops
// inside their waves that join without a jump, a drum kit, and envelopes.
#include "music_assets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace {

enum : uint16_t {
  Eg1AttackTime = 0x0206,
  Eg1ReleaseTime = 0x0209,
  Eg1SustainLevel = 0x020A,
  Pan = 0x0004,
};

const DlsCollectionInfo &Collection() {
  std::string error;
  const DlsCollectionInfo &collection = BuiltCollection(&error);
  EXPECT_EQ(error, "");
  return collection;
}

const DlsConnectionInfo *FindConnection(const DlsInstrumentInfo &instrument, uint16_t destination) {
  for (const DlsConnectionInfo &connection : instrument.articulation)
    if (connection.destination == destination && connection.source == 0) return &connection;
  return nullptr;
}

double Seconds(int32_t timecents) { return std::pow(2.0, timecents / 65536.0 / 1200.0); }

}  // namespace

TEST(InstrumentCollection, IsOneDlsFormWhoseChunksNestExactlyAndCountTheirContents) {
  std::vector<uint8_t> bytes = ReadFileBytes(CollectionPath());
  ASSERT_GE(bytes.size(), 12u);
  uint32_t riffSize = uint32_t(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24);
  EXPECT_EQ(riffSize + 8, bytes.size());
  DlsCollectionInfo collection;
  std::string error;
  ASSERT_TRUE(ReadDlsCollection(bytes, collection, error)) << error;
  EXPECT_EQ(collection.declaredInstruments, collection.instruments.size());
  EXPECT_GE(collection.instruments.size(), 10u);
  for (const DlsInstrumentInfo &instrument : collection.instruments) {
    EXPECT_EQ(instrument.regionCount, instrument.regions.size()) << instrument.name;
    EXPECT_FALSE(instrument.name.empty());
  }
}

TEST(InstrumentCollection, StaysAFewHundredKilobytes) {
  EXPECT_LE(ReadFileBytes(CollectionPath()).size(), 400u * 1024u);
}

TEST(InstrumentCollection, PoolTablePointsAtEveryWaveAndEveryWaveIsPlayed) {
  const DlsCollectionInfo &collection = Collection();
  ASSERT_EQ(collection.poolTable.size(), collection.waves.size());
  for (size_t i = 0; i < collection.waves.size(); i++)
    EXPECT_EQ(collection.poolTable[i], collection.waves[i].poolOffset) << "cue " << i;

  std::set<uint32_t> played;
  for (const DlsInstrumentInfo &instrument : collection.instruments) {
    for (const DlsRegionInfo &region : instrument.regions) {
      EXPECT_LT(region.poolIndex, collection.poolTable.size()) << instrument.name;
      EXPECT_EQ(region.channel, 1u) << instrument.name;  // mono
      played.insert(region.poolIndex);
    }
  }
  EXPECT_EQ(played.size(), collection.waves.size());
}

TEST(InstrumentCollection, WavesAreMono16BitPcmWithTheirLoopsInside) {
  const DlsCollectionInfo &collection = Collection();
  ASSERT_FALSE(collection.waves.empty());
  for (size_t i = 0; i < collection.waves.size(); i++) {
    const DlsWaveInfo &wave = collection.waves[i];
    EXPECT_EQ(wave.formatTag, 1) << "wave " << i;
    EXPECT_EQ(wave.channels, 1) << "wave " << i;
    EXPECT_EQ(wave.bitsPerSample, 16) << "wave " << i;
    EXPECT_EQ(wave.blockAlign, 2) << "wave " << i;
    EXPECT_GE(wave.sampleRate, 16000u);
    EXPECT_LE(wave.sampleRate, 48000u);
    ASSERT_TRUE(wave.sample.present) << "wave " << i;
    EXPECT_LE(wave.sample.loopCount, 1u);
    if (wave.sample.loopCount == 1) {
      EXPECT_EQ(wave.sample.loopType, 0u) << "wave " << i;  // forward
      EXPECT_GT(wave.sample.loopLength, 0u);
      EXPECT_LE(uint64_t(wave.sample.loopStart) + wave.sample.loopLength, wave.samples.size()) << "wave " << i;
    }
  }
  for (const DlsInstrumentInfo &instrument : collection.instruments) {
    for (const DlsRegionInfo &region : instrument.regions) {
      if (!region.sample.present || region.sample.loopCount == 0) continue;
      const DlsWaveInfo &wave = collection.waves.at(region.poolIndex);
      EXPECT_LE(uint64_t(region.sample.loopStart) + region.sample.loopLength, wave.samples.size()) << instrument.name;
    }
  }
}

TEST(InstrumentCollection, LoopsJoinWithoutAJump) {
  const DlsCollectionInfo &collection = Collection();
  int looped = 0;
  for (size_t i = 0; i < collection.waves.size(); i++) {
    const DlsWaveInfo &wave = collection.waves[i];
    if (wave.sample.loopCount == 0) continue;
    looped++;
    const std::vector<int16_t> &x = wave.samples;
    size_t start = wave.sample.loopStart, end = start + wave.sample.loopLength;
    ASSERT_GE(wave.sample.loopLength, 3u);
    ASSERT_LE(end, x.size());
    // Within the loop: the largest step and the largest miss of a straight-line guess.
    int largestStep = 0, largestMiss = 0;
    for (size_t t = start + 2; t < end; t++) {
      largestStep = std::max(largestStep, std::abs(x[t] - x[t - 1]));
      largestMiss = std::max(largestMiss, std::abs(x[t] - (2 * x[t - 1] - x[t - 2])));
    }
    int seamStep = std::abs(x[start] - x[end - 1]);
    int seamMiss = std::abs(x[start] - (2 * x[end - 1] - x[end - 2]));
    EXPECT_LE(seamStep, largestStep) << "wave " << i;
    EXPECT_LE(seamMiss, largestMiss) << "wave " << i;
  }
  EXPECT_GE(looped, 10);
}

TEST(InstrumentCollection, HasOneDrumKitWithARegionPerKey) {
  const DlsCollectionInfo &collection = Collection();
  const DlsInstrumentInfo *kit = nullptr;
  int kits = 0;
  for (const DlsInstrumentInfo &instrument : collection.instruments) {
    if (instrument.bank & dlsDrumFlag) {
      kit = &instrument;
      kits++;
    }
  }
  ASSERT_EQ(kits, 1);
  EXPECT_EQ(kit->bank & ~dlsDrumFlag, 0u);
  std::set<int> keys;
  for (const DlsRegionInfo &region : kit->regions) {
    EXPECT_EQ(region.keyLow, region.keyHigh);
    EXPECT_TRUE(keys.insert(region.keyLow).second) << "key " << region.keyLow << " twice";
  }
  for (int key : {36, 38, 42, 46, 49}) EXPECT_TRUE(keys.count(key)) << "kit lacks key " << key;
}

TEST(InstrumentCollection, MelodicInstrumentsCoverTheWholeKeyboardOnceInBankZero) {
  const DlsCollectionInfo &collection = Collection();
  std::set<uint32_t> programs;
  for (const DlsInstrumentInfo &instrument : collection.instruments) {
    if (instrument.bank & dlsDrumFlag) continue;
    EXPECT_EQ(instrument.bank, 0u) << instrument.name;
    EXPECT_LT(instrument.program, 128u);
    EXPECT_TRUE(programs.insert(instrument.program).second) << "program " << instrument.program << " twice";
    std::vector<int> cover(128, 0);
    for (const DlsRegionInfo &region : instrument.regions)
      for (int key = region.keyLow; key <= region.keyHigh && key < 128; key++) cover[size_t(key)]++;
    EXPECT_EQ(std::count(cover.begin(), cover.end(), 1), 128) << instrument.name;
  }
}

TEST(InstrumentCollection, EveryInstrumentShapesItsLevelWithAnEnvelopeAndLeavesThePanToTheTune) {
  for (const DlsInstrumentInfo &instrument : Collection().instruments) {
    EXPECT_EQ(instrument.articulationChunks, 1) << instrument.name;
    for (const DlsRegionInfo &region : instrument.regions) EXPECT_FALSE(region.ownArticulation) << instrument.name;
    for (const DlsConnectionInfo &c : instrument.articulation) EXPECT_NE(c.destination, Pan) << instrument.name;
    const DlsConnectionInfo *attack = FindConnection(instrument, Eg1AttackTime);
    const DlsConnectionInfo *release = FindConnection(instrument, Eg1ReleaseTime);
    const DlsConnectionInfo *sustain = FindConnection(instrument, Eg1SustainLevel);
    ASSERT_TRUE(attack && release && sustain) << instrument.name;
    EXPECT_LT(Seconds(attack->scale), 1.0) << instrument.name;
    EXPECT_GT(Seconds(release->scale), 0.03) << instrument.name;
    EXPECT_LT(Seconds(release->scale), 3.0) << instrument.name;
    EXPECT_GE(sustain->scale, 0);
    EXPECT_LE(sustain->scale, 1000 * 65536);  // tenths of a percent
  }
}
