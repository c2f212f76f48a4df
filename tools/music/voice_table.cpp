#include "voice_table.h"

#include <cmath>

// Percussive voices fade by their own decay (sustains = false); held voices
// rely on the loop and only shape the ends of the note.
const VoiceShape voiceShapes[] = {
    // name              program       drums  attack  sustains decay  release vib Hz depth delay
    {"Glimmer Kit", StandardKit, true, 0.001, true, 0.0, 0.25, 0.0, 0.0, 0.0},
    {"Tine Piano", TinePiano, false, 0.002, false, 3.0, 0.30, 0.0, 0.0, 0.0},
    {"Glockenspiel", Glockenspiel, false, 0.001, false, 2.2, 0.80, 0.0, 0.0, 0.0},
    {"Vibraphone", Vibraphone, false, 0.002, false, 4.5, 0.60, 0.0, 0.0, 0.0},
    {"Marimba", Marimba, false, 0.001, false, 1.1, 0.25, 0.0, 0.0, 0.0},
    {"Steel Guitar", SteelGuitar, false, 0.001, false, 2.5, 0.18, 0.0, 0.0, 0.0},
    {"Synth Bass", SynthBass, false, 0.003, true, 0.0, 0.07, 0.0, 0.0, 0.0},
    {"Strings", Strings, false, 0.22, true, 0.0, 0.45, 5.2, 6.0, 0.5},
    {"Brass Section", BrassSection, false, 0.025, true, 0.0, 0.15, 5.0, 5.0, 0.3},
    {"Flute", Flute, false, 0.035, true, 0.0, 0.12, 5.0, 9.0, 0.25},
    {"Square Lead", SquareLead, false, 0.006, true, 0.0, 0.14, 5.5, 11.0, 0.3},
    {"Warm Pad", WarmPad, false, 0.45, true, 0.0, 0.80, 0.0, 0.0, 0.0},
    {"Crystal", Crystal, false, 0.004, false, 4.0, 1.20, 0.0, 0.0, 0.0},
};

const int voiceShapeCount = int(sizeof(voiceShapes) / sizeof(voiceShapes[0]));

const VoiceShape *FindVoiceShape(uint8_t program, bool drumKit) {
  for (int i = 0; i < voiceShapeCount; i++) {
    if (voiceShapes[i].program == program && voiceShapes[i].drumKit == drumKit) return &voiceShapes[i];
  }
  return nullptr;
}

double SecondsToTimecents(double seconds) { return 1200.0 * std::log2(seconds); }
