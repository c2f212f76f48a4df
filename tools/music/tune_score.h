// The tune as notes: its meter, tempo and one part per MIDI channel. Pitches
// are final (already in the tune's key).
#pragma once

#include <cstdint>
#include <vector>

struct ScoreNote {
  uint32_t start;   // ticks
  uint32_t length;  // ticks
  uint8_t key;
  uint8_t velocity;
};

struct ScorePart {
  const char *name;
  uint8_t channel;  // 0-based; 9 is the drum channel
  uint8_t program;
  uint8_t volume, pan, reverb, chorus;
  std::vector<ScoreNote> notes;
};

struct MeterChange {
  uint32_t tick;
  uint8_t beatsPerBar;  // quarter notes
};

struct Score {
  uint16_t ticksPerQuarter;
  uint32_t microsPerQuarter;
  int8_t keySharps;
  std::vector<MeterChange> meters;
  std::vector<ScorePart> parts;
  uint32_t lengthTicks;
};

Score ComposeTune();
