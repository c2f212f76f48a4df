// The drum kit: one-shot sounds built in the time domain. Keys follow the
// General MIDI percussion map so the tune reads like any other drum part.
#include "instrument_design.h"

#include <cmath>

namespace {

const double twoPi = 6.283185307179586;

std::vector<double> Silence(double seconds) { return std::vector<double>(size_t(seconds * waveRate), 0.0); }

double Time(size_t i) { return double(i) / waveRate; }

std::vector<double> WhiteNoise(size_t length, uint32_t seed) {
  NoiseSource noise{seed};
  std::vector<double> signal(length);
  for (double &value : signal) value = NextNoise(noise);
  return signal;
}

// A sine whose pitch falls from `start` to `end` Hz with time constant `fall`.
void AddSweptSine(std::vector<double> &signal, double start, double end, double fall, double level, double ring) {
  double phase = 0;
  for (size_t i = 0; i < signal.size(); i++) {
    double t = Time(i);
    double f = end + (start - end) * std::exp(-t / fall);
    phase += twoPi * f / waveRate;
    signal[i] += level * std::sin(phase) * std::exp(-t / ring);
  }
}

// Six detuned square waves: the metallic body of hats and cymbals.
std::vector<double> MetalBody(size_t length) {
  const double freqs[] = {593, 887, 1051, 1171, 1515, 2107};
  std::vector<double> signal(length, 0.0);
  for (double f : freqs) {
    double phase = 0;
    for (size_t i = 0; i < length; i++) {
      phase += f / waveRate;
      signal[i] += (phase - std::floor(phase)) < 0.5 ? 1.0 : -1.0;
    }
  }
  return signal;
}

std::vector<double> Hat(double seconds, double ring, uint32_t seed) {
  size_t length = size_t(seconds * waveRate);
  std::vector<double> metal = MetalBody(length);
  std::vector<double> noise = WhiteNoise(length, seed);
  std::vector<double> signal(length);
  for (size_t i = 0; i < length; i++) signal[i] = 0.08 * metal[i] + noise[i];
  HighPass(signal, 6000);
  HighPass(signal, 5000);
  for (size_t i = 0; i < length; i++) signal[i] *= std::exp(-Time(i) / ring);
  return signal;
}

KitSound SynthesiseKick() {
  std::vector<double> signal = Silence(0.38);
  AddSweptSine(signal, 160, 48, 0.03, 1.0, 0.16);
  std::vector<double> click = WhiteNoise(signal.size(), 101);
  LowPass(click, 3000);
  for (size_t i = 0; i < signal.size(); i++) {
    signal[i] += 0.5 * click[i] * std::exp(-Time(i) / 0.002);
    signal[i] = std::tanh(1.5 * signal[i]);
  }
  return {FinishOneShot("kick", signal, 36, 0.95), {{36, 36, 0, 36, 0}}};
}

KitSound SynthesiseSnare() {
  std::vector<double> signal = Silence(0.28);
  AddSweptSine(signal, 200, 180, 0.02, 0.6, 0.05);
  AddSweptSine(signal, 340, 330, 0.02, 0.3, 0.03);
  std::vector<double> rattle = WhiteNoise(signal.size(), 102);
  BandPass(rattle, 3500, 0.7);
  HighPass(rattle, 1000);
  for (size_t i = 0; i < signal.size(); i++) {
    signal[i] += 2.0 * rattle[i] * std::exp(-Time(i) / 0.11);
    signal[i] = std::tanh(1.8 * signal[i]);  // denser, so it stands up to the kick
  }
  return {FinishOneShot("snare", signal, 38, 0.9), {{38, 38, 0, 38, 0}}};
}

KitSound SynthesiseClap() {
  std::vector<double> signal = WhiteNoise(size_t(0.3 * waveRate), 103);
  BandPass(signal, 1200, 1.2);
  for (size_t i = 0; i < signal.size(); i++) {
    double t = Time(i);
    double level = 0;
    for (double burst : {0.0, 0.011, 0.022})
      if (t >= burst) level = std::max(level, std::exp(-(t - burst) / 0.004));
    if (t >= 0.03) level = std::max(level, 0.6 * std::exp(-(t - 0.03) / 0.09));
    signal[i] *= level;
  }
  return {FinishOneShot("clap", signal, 39, 0.7), {{39, 39, 0, 39, 0}}};
}

KitSound SynthesiseClosedHat() {
  return {FinishOneShot("closed hat", Hat(0.1, 0.018, 104), 42, 0.45), {{42, 42, 0, 42, 1}}};
}

KitSound SynthesiseOpenHat() {
  return {FinishOneShot("open hat", Hat(0.5, 0.16, 105), 46, 0.45), {{46, 46, 0, 46, 1}}};
}

KitSound SynthesiseToms() {
  // One drum tuned to three keys.
  std::vector<double> signal = Silence(0.45);
  AddSweptSine(signal, 175, 130, 0.05, 1.0, 0.15);
  AddSweptSine(signal, 350, 260, 0.05, 0.15, 0.06);
  std::vector<double> thump = WhiteNoise(signal.size(), 106);
  LowPass(thump, 1500);
  for (size_t i = 0; i < signal.size(); i++) signal[i] += 0.6 * thump[i] * std::exp(-Time(i) / 0.01);
  return {FinishOneShot("tom", signal, 47, 0.8), {{45, 45, 0, 49, 0}, {47, 47, 0, 47, 0}, {50, 50, 0, 45, 0}}};
}

KitSound SynthesiseCrash() {
  size_t length = size_t(1.0 * waveRate);
  std::vector<double> signal = WhiteNoise(length, 107);
  std::vector<double> metal = MetalBody(length);
  NoiseSource pick{108};
  for (int k = 0; k < 40; k++) {
    double f = 3000 + 6000 * (NextNoise(pick) + 1.0) / 2.0;
    double phase = NextNoise(pick) * 3.14159;
    for (size_t i = 0; i < length; i++) signal[i] += 0.15 * std::sin(phase + twoPi * f * Time(i));
  }
  for (size_t i = 0; i < length; i++) signal[i] += 0.1 * metal[i];
  HighPass(signal, 4000);
  LowPass(signal, 9500);
  for (size_t i = 0; i < length; i++) {
    double t = Time(i);
    signal[i] *= std::min(1.0, t / 0.002) * std::exp(-t / 0.35);
  }
  return {FinishOneShot("crash", signal, 49, 0.5), {{49, 49, 0, 49, 0}}};
}

KitSound SynthesiseTambourine() {
  size_t length = size_t(0.22 * waveRate);
  std::vector<double> signal = WhiteNoise(length, 109);
  BandPass(signal, 7000, 2.0);
  NoiseSource pick{110};
  for (int k = 0; k < 8; k++) {
    double f = 5000 + 4000 * (NextNoise(pick) + 1.0) / 2.0;
    for (size_t i = 0; i < length; i++) signal[i] += 0.2 * std::sin(twoPi * f * Time(i));
  }
  for (size_t i = 0; i < length; i++) {
    double t = Time(i);
    double shake = std::exp(-t / 0.05);
    if (t >= 0.012) shake = std::max(shake, 0.8 * std::exp(-(t - 0.012) / 0.05));
    signal[i] *= shake;
  }
  return {FinishOneShot("tambourine", signal, 54, 0.45), {{54, 54, 0, 54, 0}}};
}

}  // namespace

std::vector<KitSound> SynthesiseKitSounds() {
  return {SynthesiseKick(),    SynthesiseSnare(), SynthesiseClap(),  SynthesiseClosedHat(),
          SynthesiseOpenHat(), SynthesiseToms(),  SynthesiseCrash(), SynthesiseTambourine()};
}
