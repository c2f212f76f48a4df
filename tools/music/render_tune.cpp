// render_tune [--page] TUNE.mid INSTRUMENTS OUT.wav [CHANNEL]
// Renders the tune offline with FluidSynth and the collection (INSTRUMENTS.dls;
// with --page, the page's synthesiser and INSTRUMENTS.sf2) and reports its
// length, peak, the level and likeness of its two sides and how loud each
// channel plays. With CHANNEL (1-16) the WAV holds that channel alone.
#include "tune_render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

double Decibels(double level) { return 20 * std::log10(level + 1e-12); }

}  // namespace

int main(int argc, char **argv) {
  bool page = argc > 1 && std::string(argv[1]) == "--page";
  argc -= page;
  argv += page;
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: render_tune [--page] TUNE.mid INSTRUMENTS OUT.wav [CHANNEL]\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::vector<uint8_t> midi((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  int solo = argc == 5 ? std::atoi(argv[4]) - 1 : -1;
  Rendering rendering;
  if (midi.empty() || !(page ? RenderTuneInPage : RenderTune)(midi, argv[2], 44100, solo, rendering)) {
    std::fprintf(stderr, "render_tune: cannot render %s with %s\n", argv[1], argv[2]);
    return 1;
  }
  if (!WriteWavFile(argv[3], rendering)) {
    std::fprintf(stderr, "render_tune: cannot write %s\n", argv[3]);
    return 1;
  }

  MixFigures mix = MeasureMix(rendering);
  std::printf("FluidSynth %s: %.1f s, peak %.3f (%.1f dBFS), %zu clipped frames, %d sound font(s)\n",
              rendering.synthVersion.c_str(), double(rendering.left.size()) / rendering.sampleRate, mix.peak,
              Decibels(mix.peak), mix.clippedFrames, rendering.fontCount);
  std::printf("stereo: RMS left %.1f dBFS, right %.1f dBFS (%+.2f dB), correlation %.3f\n", Decibels(mix.rmsLeft),
              Decibels(mix.rmsRight), Decibels(mix.rmsLeft) - Decibels(mix.rmsRight), mix.correlation);
  for (size_t ch = 0; ch < rendering.channelLevels.size(); ch++) {
    const std::vector<float> &levels = rendering.channelLevels[ch];
    float loudest = 0;
    double sum = 0;
    size_t sounding = 0;
    for (float level : levels) {
      loudest = std::max(loudest, level);
      if (level > 1e-4f) {
        sum += level;
        sounding++;
      }
    }
    if (sounding == 0) continue;
    std::printf("channel %2zu: sounds %5.1f s, mean %.4f, loudest %.4f\n", ch + 1, sounding * rendering.blockSeconds,
                sum / sounding, loudest);
  }
  return 0;
}
