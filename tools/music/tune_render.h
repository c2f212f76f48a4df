// Offline rendering of the tune with FluidSynth and the collection alone (no
// other sound font, no audio driver), clocked by the samples it writes, so a
// render is faster than real time and the same every time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rendering {
  std::string synthVersion;  // FluidSynth's
  int sampleRate = 0;
  std::vector<float> left, right;  // the mix: every channel plus reverb and chorus
  // Dry level of each MIDI channel, RMS over consecutive blocks of blockSeconds.
  double blockSeconds = 0.05;
  std::vector<std::vector<float>> channelLevels;
  int fontCount = 0;  // sound fonts the synthesiser had loaded
  // What FluidSynth chose for each channel once the tune had started:
  // preset name ("" for none) and its bank (128 for a drum kit).
  std::vector<std::string> channelPresets;
  std::vector<int> channelBanks;
};

// Plays the whole tune until the player reports it done. With soloChannel set,
// the mix holds only that channel's dry sound. 0 when the synthesiser cannot
// be set up or the files do not load.
int RenderTune(const std::vector<uint8_t> &midi, const std::string &dlsPath, int sampleRate, int soloChannel,
               Rendering &out);

// The same as the page plays it: its own synthesiser (FluidSynth built for the
// web, run in node) with the SoundFont form of the collection. Needs node and
// the page's packages (port/drivers/web/node_modules).
int RenderTuneInPage(const std::vector<uint8_t> &midi, const std::string &sf2Path, int sampleRate, int soloChannel,
                     Rendering &out);

// One note, dry, as a mono buffer: the key held for `seconds`. A drum kit is
// played on channel 10.
int RenderNote(const std::string &dlsPath, int program, bool drums, int key, int velocity, double seconds,
               int sampleRate, std::vector<float> &mono);
int RenderNoteInPage(const std::string &sf2Path, int program, bool drums, int key, int velocity, double seconds,
                     int sampleRate, std::vector<float> &mono);

// The mix as a whole: its peak, how many frames reach full scale, the level of
// each side and how alike the sides are (1 for mono, 0 for unrelated sides).
struct MixFigures {
  float peak = 0;
  size_t clippedFrames = 0;
  double rmsLeft = 0, rmsRight = 0;
  double correlation = 0;
};
MixFigures MeasureMix(const Rendering &rendering);

// 16-bit stereo WAV of the mix, clipped at full scale.
int WriteWavFile(const std::string &path, const Rendering &rendering);
