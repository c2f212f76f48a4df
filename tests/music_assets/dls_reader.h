// A strict reader of DLS Level 1 collections for the tests. Chunks must nest
// exactly inside their parents and fixed-size structures must have their
// sizes; anything else is reported as an error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DlsSampleInfo {
  bool present = false;
  uint16_t unityNote = 0;
  int16_t fineTune = 0;
  int32_t attenuation = 0;
  uint32_t loopCount = 0;
  uint32_t loopType = 0, loopStart = 0, loopLength = 0;
};

struct DlsRegionInfo {
  uint16_t keyLow, keyHigh, velocityLow, velocityHigh, options, keyGroup;
  DlsSampleInfo sample;
  uint32_t channel = 0;
  uint32_t poolIndex = 0;
  bool ownArticulation = false;  // a lart of its own, overriding the instrument's
};

struct DlsConnectionInfo {
  uint16_t source, control, destination, transform;
  int32_t scale;
};

struct DlsInstrumentInfo {
  std::string name;
  uint32_t regionCount = 0;  // as the header states
  uint32_t bank = 0, program = 0;
  std::vector<DlsRegionInfo> regions;
  std::vector<DlsConnectionInfo> articulation;
  int articulationChunks = 0;
};

struct DlsWaveInfo {
  uint32_t poolOffset = 0;  // of its LIST header, from the start of the pool's data
  uint16_t formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
  uint32_t sampleRate = 0;
  DlsSampleInfo sample;
  std::vector<int16_t> samples;
};

struct DlsCollectionInfo {
  uint32_t declaredInstruments = 0;  // colh
  std::vector<DlsInstrumentInfo> instruments;
  std::vector<uint32_t> poolTable;
  std::vector<DlsWaveInfo> waves;
};

bool ReadDlsCollection(const std::vector<uint8_t> &bytes, DlsCollectionInfo &collection, std::string &error);

constexpr uint32_t dlsDrumFlag = 0x80000000u;
