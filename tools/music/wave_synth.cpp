#include "wave_synth.h"

#include <algorithm>
#include <cmath>

namespace {

const double twoPi = 6.283185307179586;

// Samples appended after the loop so interpolating players read real data
// (the loop's own continuation) past the loop end.
const uint32_t loopTail = 16;

// A first fade-in of the stored wave, short enough to keep every strike.
const uint32_t startRamp = 24;

std::vector<int16_t> ScaleToPeak(const std::vector<double> &signal, double peak) {
  double largest = 1e-12;
  for (double value : signal) largest = std::max(largest, std::fabs(value));
  double scale = peak * 32767.0 / largest;
  std::vector<int16_t> samples(signal.size());
  for (size_t i = 0; i < signal.size(); i++) {
    long value = std::lround(signal[i] * scale);
    samples[i] = int16_t(std::clamp(value, -32767L, 32767L));
  }
  return samples;
}

}  // namespace

double NoteFrequency(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

double NextNoise(NoiseSource &noise) {
  uint32_t x = noise.state;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  noise.state = x;
  return double(x) / 2147483648.0 - 1.0;
}

void FitLoop(double frequency, double seconds, uint32_t &length, uint32_t &cycles) {
  uint32_t low = uint32_t(seconds * waveRate * 0.85);
  uint32_t high = uint32_t(seconds * waveRate * 1.15);
  double bestError = 1e9;
  length = low;
  cycles = 1;
  for (uint32_t candidate = std::max(low, 2u); candidate <= high; candidate++) {
    long whole = std::max(1L, std::lround(frequency * candidate / waveRate));
    double error = std::fabs(std::log2(whole * double(waveRate) / (candidate * frequency)));
    if (error < bestError) {
      bestError = error;
      length = candidate;
      cycles = uint32_t(whole);
    }
  }
}

Wave SynthesiseTone(const char *name, const ToneRecipe &recipe, double peak) {
  uint32_t loopLength = 0, cycles = 0;
  FitLoop(NoteFrequency(recipe.unityNote), recipe.loopSeconds, loopLength, cycles);
  // The loop must start after the fade-in, or its first samples would be damped.
  uint32_t onset = std::max(startRamp, uint32_t(std::lround(recipe.onsetSeconds * waveRate)));
  uint32_t total = onset + loopLength + loopTail;
  NoiseSource noise{recipe.seed * 2654435761u + 0x9E3779B9u};

  // Past the onset each sample depends only on (t - onset) mod loopLength, so
  // the stored loop repeats exactly. One period is computed once and reused.
  std::vector<double> period(loopLength, 0.0);
  std::vector<double> signal(total, 0.0);

  for (const TonePartial &partial : recipe.partials) {
    double wanted = partial.ratio * cycles * std::pow(2.0, partial.detune / 1200.0);
    long perLoop = std::lround(wanted);
    if (partial.detune != 0 && perLoop == std::lround(partial.ratio * cycles)) perLoop += partial.detune > 0 ? 1 : -1;
    double phase0 = 0.5 * twoPi * (NextNoise(noise) + 1.0);
    if (perLoop < 1 || perLoop * double(waveRate) / loopLength > recipe.cutoffHz) continue;

    for (uint32_t t = 0; t < loopLength; t++) {
      uint64_t turn = (uint64_t(perLoop) * t) % loopLength;
      period[t] += partial.level * std::sin(phase0 + twoPi * double(turn) / loopLength);
    }
    // The onset runs backwards from the loop start so its phase meets the
    // loop's exactly; a pitch scoop only bends the onset.
    double phase = phase0;
    double step = twoPi * perLoop / loopLength;
    for (uint32_t t = onset; t-- > 0;) {
      double u = double(t) / onset;
      double bend = std::pow(2.0, recipe.scoopCents / 1200.0 * (1.0 - u) * (1.0 - u));
      phase -= step * bend;
      double level = partial.level + partial.strike * (1.0 - u) * (1.0 - u) * (1.0 - u);
      signal[t] += level * std::sin(phase);
    }
  }

  if (recipe.breath > 0) {
    long firstBin = std::max(1L, std::lround(recipe.breathLowHz * loopLength / waveRate));
    long lastBin = std::lround(recipe.breathHighHz * loopLength / waveRate);
    std::vector<double> band(loopLength, 0.0);
    for (long bin = firstBin; bin <= lastBin; bin++) {
      double phase0 = 0.5 * twoPi * (NextNoise(noise) + 1.0);
      for (uint32_t t = 0; t < loopLength; t++) {
        uint64_t turn = (uint64_t(bin) * t) % loopLength;
        band[t] += std::cos(phase0 + twoPi * double(turn) / loopLength);
      }
    }
    double norm = recipe.breath / std::sqrt(0.5 * double(lastBin - firstBin + 1));
    for (uint32_t t = 0; t < loopLength; t++) period[t] += band[t] * norm;
    for (uint32_t t = 0; t < onset; t++) {
      uint32_t back = (onset - t) % loopLength;
      signal[t] += band[back == 0 ? 0 : loopLength - back] * norm;
    }
  }

  for (uint32_t t = onset; t < total; t++) signal[t] += period[(t - onset) % loopLength];

  if (recipe.chiff > 0 && onset > 0) {
    std::vector<double> burst(onset);
    for (uint32_t t = 0; t < onset; t++) {
      double u = 1.0 - double(t) / onset;
      burst[t] = NextNoise(noise) * u * u;
    }
    LowPass(burst, recipe.chiffLowpassHz);
    for (uint32_t t = 0; t < onset; t++) signal[t] += burst[t] * recipe.chiff;
  }

  for (uint32_t t = 0; t < startRamp && t < total; t++) signal[t] *= double(t) / startRamp;

  Wave wave;
  wave.name = name;
  wave.samples = ScaleToPeak(signal, peak);
  wave.looped = true;
  wave.loopStart = onset;
  wave.loopLength = loopLength;
  wave.unityNote = recipe.unityNote;
  return wave;
}

Wave FinishOneShot(const char *name, const std::vector<double> &signal, uint8_t unityNote, double peak) {
  std::vector<double> shaped = signal;
  size_t fade = std::min<size_t>(256, shaped.size());
  for (size_t i = 0; i < fade; i++) shaped[shaped.size() - 1 - i] *= double(i) / fade;
  for (size_t i = 0; i < startRamp && i < shaped.size(); i++) shaped[i] *= double(i) / startRamp;
  Wave wave;
  wave.name = name;
  wave.samples = ScaleToPeak(shaped, peak);
  wave.unityNote = unityNote;
  return wave;
}

void LowPass(std::vector<double> &signal, double cutoffHz) {
  double a = 1.0 - std::exp(-twoPi * cutoffHz / waveRate);
  double state = 0;
  for (double &value : signal) {
    state += a * (value - state);
    value = state;
  }
}

void HighPass(std::vector<double> &signal, double cutoffHz) {
  double a = 1.0 - std::exp(-twoPi * cutoffHz / waveRate);
  double state = 0;
  for (double &value : signal) {
    state += a * (value - state);
    value -= state;
  }
}

void BandPass(std::vector<double> &signal, double centreHz, double q) {
  double w = twoPi * centreHz / waveRate;
  double alpha = std::sin(w) / (2.0 * q);
  double a0 = 1.0 + alpha;
  double b0 = alpha / a0, b2 = -alpha / a0;
  double a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - alpha) / a0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (double &value : signal) {
    double y = b0 * value + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = value;
    y2 = y1;
    y1 = y;
    value = y;
  }
}
