// The collection the tune is played with: what each instrument's waves sound
// like, and how they are laid out as DLS instruments and regions.
#pragma once

#include "dls_builder.h"
#include "voice_table.h"
#include "wave_synth.h"

#include <vector>

// The one wave a melodic instrument plays over the whole keyboard.
Wave SynthesiseMelodicWave(uint8_t program);

// A wave of the kit and the keys that play it (their waveIndex is filled in
// when the kit is laid out).
struct KitSound {
  Wave wave;
  std::vector<DlsRegion> keys;
};
std::vector<KitSound> SynthesiseKitSounds();

// The envelope and vibrato of a voice as DLS Level 1 connection blocks.
std::vector<Connection> ArticulateVoice(const VoiceShape &shape);

DlsCollection DesignCollection();
