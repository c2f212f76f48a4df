// Writes a DLS Level 1 instrument collection: RIFF form "DLS " with the
// instruments, their regions and articulation, a pool table and the wave pool.
#pragma once

#include "wave_synth.h"

#include <cstdint>
#include <string>
#include <vector>

// Articulation connection sources, destinations and the drum flag of ulBank,
// as DLS Level 1 numbers them.
enum : uint16_t {
  ConnSrcNone = 0x0000,
  ConnSrcLfo = 0x0001,
  ConnDstPitch = 0x0003,
  ConnDstLfoFrequency = 0x0104,
  ConnDstLfoStartDelay = 0x0105,
  ConnDstEg1AttackTime = 0x0206,
  ConnDstEg1DecayTime = 0x0207,
  ConnDstEg1ReleaseTime = 0x0209,
  ConnDstEg1SustainLevel = 0x020A,
};
constexpr uint32_t instrumentDrumsFlag = 0x80000000u;

struct Connection {
  uint16_t source;
  uint16_t control;
  uint16_t destination;
  uint16_t transform;
  int32_t scale;
};

struct DlsRegion {
  uint8_t keyLow, keyHigh;
  uint32_t waveIndex;
  uint8_t unityNote;
  uint16_t keyGroup;  // notes of one group cut each other off (hi-hats)
};

struct DlsInstrument {
  std::string name;
  uint32_t bank;  // ulBank: MIDI bank bits and the drum flag
  uint32_t program;
  std::vector<DlsRegion> regions;
  std::vector<Connection> articulation;
};

struct DlsCollection {
  std::string name;
  std::vector<DlsInstrument> instruments;
  std::vector<Wave> waves;
};

std::vector<uint8_t> BuildDlsFile(const DlsCollection &collection);
