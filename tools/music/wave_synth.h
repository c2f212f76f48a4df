// Synthesis of the collection's waves: looped tones built from partials and
// one-shot drum sounds. Everything is computed from fixed seeds, so the same
// build gives the same samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t waveRate = 22050;

struct Wave {
  std::string name;
  uint32_t sampleRate = waveRate;
  std::vector<int16_t> samples;
  bool looped = false;
  uint32_t loopStart = 0;
  uint32_t loopLength = 0;
  uint8_t unityNote = 60;
};

double NoteFrequency(double note);

// A small deterministic noise source (xorshift), uniform in [-1, 1).
struct NoiseSource {
  uint32_t state;
};
double NextNoise(NoiseSource &noise);

struct TonePartial {
  double ratio;       // frequency over the fundamental
  double level;       // level while the tone holds
  double strike = 0;  // extra level at the onset, gone by the loop start
  double detune = 0;  // cents, for chorus layers
};

// A looped tone. The loop holds a whole number of cycles of every partial,
// so it repeats without a seam; partials, noise band and pitch glide only
// change during the onset before it.
struct ToneRecipe {
  uint8_t unityNote;
  double onsetSeconds;  // length of the part before the loop
  double loopSeconds;   // about this long
  double cutoffHz;      // partials above are left out
  std::vector<TonePartial> partials;
  double scoopCents = 0;  // starts this far off pitch, glides in during the onset
  double breath = 0;      // looped band noise, relative to the partials
  double breathLowHz = 0, breathHighHz = 0;
  double chiff = 0;  // noise burst fading over the onset
  double chiffLowpassHz = 4000;
  uint32_t seed = 1;
};

Wave SynthesiseTone(const char *name, const ToneRecipe &recipe, double peak);

// Fits `seconds` of loop to `frequency`: the loop length in samples and the
// whole number of cycles in it, chosen to keep the pitch error smallest.
void FitLoop(double frequency, double seconds, uint32_t &length, uint32_t &cycles);

// One-shot sounds are built as plain sample buffers at waveRate, then scaled
// to `peak` (a fraction of full scale) and stored.
Wave FinishOneShot(const char *name, const std::vector<double> &signal, uint8_t unityNote, double peak);

// Simple filters over a whole buffer, in place.
void LowPass(std::vector<double> &signal, double cutoffHz);
void HighPass(std::vector<double> &signal, double cutoffHz);
void BandPass(std::vector<double> &signal, double centreHz, double q);
