// Recipes of the melodic instruments. Unity notes sit in the middle of the
// range each part plays, so no wave is stretched far.
#include "instrument_design.h"

#include <cmath>

namespace {

// A sawtooth's harmonics, 1/n, darkened above `knee` Hz.
std::vector<TonePartial> SawPartials(double fundamental, double knee, int count, double detune) {
  std::vector<TonePartial> partials;
  for (int n = 1; n <= count; n++) {
    double f = n * fundamental;
    double level = 1.0 / n / (1.0 + (f / knee) * (f / knee));
    partials.push_back({double(n), level, 0.0, detune});
  }
  return partials;
}

void Append(std::vector<TonePartial> &to, const std::vector<TonePartial> &more) {
  to.insert(to.end(), more.begin(), more.end());
}

Wave SynthesiseSquareLead() {
  ToneRecipe r{79, 0.05, 0.12, 6000, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (int n = 1; n * f0 < 6000; n++) {
    double level = (n % 2 == 1) ? 1.0 / std::pow(n, 1.15) : 0.08 / n;
    double strike = n >= 3 ? 0.5 * level : 0.0;
    r.partials.push_back({double(n), level, strike});
  }
  r.seed = 11;
  return SynthesiseTone("square lead", r, 0.85);
}

Wave SynthesiseFlute() {
  ToneRecipe r{76, 0.07, 0.28, 6000, {{1, 1.0}, {2, 0.28, 0.1}, {3, 0.12, 0.05}, {4, 0.05}, {5, 0.03}, {6, 0.015}}};
  r.scoopCents = -20;
  r.breath = 0.035;
  r.breathLowHz = 1000;
  r.breathHighHz = 5000;
  r.chiff = 0.25;
  r.chiffLowpassHz = 3000;
  r.seed = 12;
  return SynthesiseTone("flute", r, 0.85);
}

Wave SynthesiseTinePiano() {
  // The bright "bark" of the tine fades during the onset; the warm
  // fundamental carries the loop.
  ToneRecipe r{66,
               0.3,
               0.2,
               7000,
               {{1, 1.0, 0.1}, {2, 0.22, 0.3}, {3, 0.07, 0.25}, {4, 0.03, 0.2}, {7.03, 0.0, 0.25}, {14.1, 0.0, 0.08}}};
  r.seed = 13;
  return SynthesiseTone("tine piano", r, 0.85);
}

Wave SynthesiseGlockenspiel() {
  // A struck bar: the 2.76 mode rings less and fades sooner than the fundamental.
  ToneRecipe r{91, 0.06, 0.08, 7500, {{1, 1.0, 0.2}, {2.76, 0.12, 0.5}}};
  r.chiff = 0.3;
  r.chiffLowpassHz = 8000;
  r.seed = 14;
  return SynthesiseTone("glockenspiel", r, 0.8);
}

Wave SynthesiseVibraphone() {
  ToneRecipe r{72, 0.15, 0.12, 7000, {{1, 1.0}, {2, 0.04}, {4, 0.12, 0.35}, {10, 0.0, 0.1}}};
  r.chiff = 0.08;
  r.chiffLowpassHz = 5000;
  r.seed = 15;
  return SynthesiseTone("vibraphone", r, 0.8);
}

Wave SynthesiseMarimba() {
  ToneRecipe r{72, 0.06, 0.08, 7000, {{1, 1.0, 0.3}, {4, 0.05, 0.6}, {9.9, 0.0, 0.15}}};
  r.chiff = 0.15;
  r.chiffLowpassHz = 2000;
  r.seed = 16;
  return SynthesiseTone("marimba", r, 0.85);
}

Wave SynthesiseSteelGuitar() {
  // Plucked near the bridge; the upper harmonics die away over the onset.
  ToneRecipe r{64, 0.25, 0.15, 6500, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (int n = 1; n * f0 < 6500; n++) {
    double start = std::fabs(std::sin(n * 3.14159265 * 0.2)) / n;
    double held = start * std::exp(-0.18 * n);
    r.partials.push_back({double(n), held, start - held});
  }
  r.chiff = 0.05;
  r.chiffLowpassHz = 6000;
  r.seed = 17;
  return SynthesiseTone("steel guitar", r, 0.85);
}

Wave SynthesiseSynthBass() {
  // A filter sweep baked into the onset: bright at the pluck, round in the loop.
  ToneRecipe r{40, 0.09, 0.15, 3000, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (int n = 1; n * f0 < 3000; n++) {
    double f = n * f0;
    double held = 1.0 / n / (1.0 + (f / 700) * (f / 700));
    double bright = 1.0 / n / (1.0 + (f / 2500) * (f / 2500));
    if (n == 1) held *= 1.3;
    r.partials.push_back({double(n), held, std::max(0.0, bright - held)});
  }
  r.seed = 18;
  return SynthesiseTone("synth bass", r, 0.9);
}

Wave SynthesiseStrings() {
  ToneRecipe r{71, 0.03, 0.6, 5500, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (double detune : {-7.0, 0.0, 7.0}) Append(r.partials, SawPartials(f0, 3000, 20, detune));
  r.breath = 0.01;
  r.breathLowHz = 2000;
  r.breathHighHz = 6000;
  r.seed = 19;
  return SynthesiseTone("strings", r, 0.8);
}

Wave SynthesiseBrassSection() {
  // A section: one player on pitch, two a little either side of it.
  ToneRecipe r{65, 0.08, 0.5, 6000, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (double detune : {0.0, -6.0, 6.0}) {
    double player = detune == 0 ? 1.0 : 0.6;
    for (int n = 1; n * f0 < 6000; n++) {
      double level = player / std::pow(n, 1.1) / (1.0 + std::pow(n * f0 / 2500, 2));
      r.partials.push_back({double(n), level, n >= 4 ? 0.3 * level : 0.0, detune});
    }
  }
  r.scoopCents = -40;
  r.seed = 20;
  return SynthesiseTone("brass section", r, 0.85);
}

Wave SynthesiseWarmPad() {
  ToneRecipe r{62, 0.03, 0.75, 4000, {}};
  double f0 = NoteFrequency(r.unityNote);
  for (double detune : {-9.0, 9.0}) {
    for (int n = 1; n <= 15; n += 2) r.partials.push_back({double(n), 1.0 / (n * n), 0.0, detune});
    Append(r.partials, SawPartials(f0, 1500, 10, detune));
  }
  r.seed = 21;
  return SynthesiseTone("warm pad", r, 0.8);
}

Wave SynthesiseCrystal() {
  ToneRecipe r{86, 0.1, 0.5, 7500, {}};
  for (double detune : {-4.0, 4.0}) {
    r.partials.push_back({1.0, 1.0, 0.1, detune});
    r.partials.push_back({2.0, 0.35, 0.2, detune});
    r.partials.push_back({3.0, 0.1, 0.0, detune});
    r.partials.push_back({4.2, 0.2, 0.3, detune});
  }
  r.chiff = 0.1;
  r.chiffLowpassHz = 7000;
  r.seed = 22;
  return SynthesiseTone("crystal", r, 0.8);
}

}  // namespace

Wave SynthesiseMelodicWave(uint8_t program) {
  switch (program) {
    case SquareLead:
      return SynthesiseSquareLead();
    case Flute:
      return SynthesiseFlute();
    case TinePiano:
      return SynthesiseTinePiano();
    case Glockenspiel:
      return SynthesiseGlockenspiel();
    case Vibraphone:
      return SynthesiseVibraphone();
    case Marimba:
      return SynthesiseMarimba();
    case SteelGuitar:
      return SynthesiseSteelGuitar();
    case SynthBass:
      return SynthesiseSynthBass();
    case Strings:
      return SynthesiseStrings();
    case BrassSection:
      return SynthesiseBrassSection();
    case WarmPad:
      return SynthesiseWarmPad();
    case Crystal:
      return SynthesiseCrystal();
    default:
      return Wave{};
  }
}
