// The instruments of the tune: which programs exist and how each one's level
// moves over a note. The instrument generator writes these shapes into the
// collection's articulation; the tune generator repeats them, per channel, as
// SoundFont NRPN offsets, because FluidSynth's DLS loader drops articulation.
#pragma once

#include <cstdint>

enum VoiceProgram : uint8_t {
  StandardKit = 0,  // with the drum flag: the kit on channel 10
  TinePiano = 4,
  Glockenspiel = 9,
  Vibraphone = 11,
  Marimba = 12,
  SteelGuitar = 25,
  SynthBass = 38,
  Strings = 48,
  BrassSection = 61,
  Flute = 73,
  SquareLead = 80,
  WarmPad = 89,
  Crystal = 98,
};

struct VoiceShape {
  const char *name;
  uint8_t program;
  bool drumKit;
  double attack;        // seconds to full level
  bool sustains;        // holds full level while the key is down
  double decay;         // seconds from full level to silence when it does not sustain
  double release;       // seconds from full level to silence once the key is up
  double vibratoRate;   // Hz
  double vibratoDepth;  // cents; 0 for none
  double vibratoDelay;  // seconds
};

extern const VoiceShape voiceShapes[];
extern const int voiceShapeCount;

// Null when the collection has no such instrument.
const VoiceShape *FindVoiceShape(uint8_t program, bool drumKit);

// Seconds to DLS/SoundFont timecents (1200 * log2 seconds).
double SecondsToTimecents(double seconds);
