#include "tune_render.h"

#include "byte_sink.h"

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <cmath>

namespace {

const int midiChannels = 16;
const int renderBlock = 512;
const double longestTuneSeconds = 300;
const double programGain = 0.4;  // the gain the Linux program plays the tune at

struct OfflineSynth {
  fluid_settings_t *settings = nullptr;
  fluid_synth_t *synth = nullptr;
  fluid_player_t *player = nullptr;
};

void IgnoreMessage(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

void QuietFluidSynth() {
  // libinstpatch reports a GLib critical for every region each time a DLS
  // collection is unloaded, though nothing is wrong with the sound.
  g_log_set_handler(nullptr, G_LOG_LEVEL_CRITICAL, IgnoreMessage, nullptr);
  // The SoundFont loader declines the collection with an error before the DLS
  // loader takes it, and channels the tune never uses warn of missing
  // presets: noise here. Failures show in the results instead.
  for (int level = FLUID_ERR; level <= FLUID_DBG; level++) fluid_set_log_function(level, nullptr, nullptr);
}

int OpenSynth(OfflineSynth &s, const std::string &dlsPath, int sampleRate, bool channelOutputs) {
  QuietFluidSynth();
  s.settings = new_fluid_settings();
  if (!s.settings) return 0;
  fluid_settings_setnum(s.settings, "synth.sample-rate", sampleRate);
  fluid_settings_setnum(s.settings, "synth.gain", programGain);
  fluid_settings_setint(s.settings, "synth.threadsafe-api", 0);
  fluid_settings_setstr(s.settings, "player.timing-source", "sample");
  if (channelOutputs) {
    // Every MIDI channel gets its own stereo output, so one pass measures each part.
    fluid_settings_setint(s.settings, "synth.audio-channels", midiChannels);
    fluid_settings_setint(s.settings, "synth.audio-groups", midiChannels);
  }
  s.synth = new_fluid_synth(s.settings);
  if (!s.synth) return 0;
  return fluid_synth_sfload(s.synth, dlsPath.c_str(), 1) != FLUID_FAILED;
}

void CloseSynth(OfflineSynth &s) {
  if (s.player) delete_fluid_player(s.player);
  if (s.synth) delete_fluid_synth(s.synth);
  if (s.settings) delete_fluid_settings(s.settings);
  s = OfflineSynth{};
}

}  // namespace

int RenderTune(const std::vector<uint8_t> &midi, const std::string &dlsPath, int sampleRate, int soloChannel,
               Rendering &out) {
  OfflineSynth s;
  int ok = OpenSynth(s, dlsPath, sampleRate, true);
  if (ok) {
    s.player = new_fluid_player(s.synth);
    ok = s.player && fluid_player_add_mem(s.player, midi.data(), midi.size()) == FLUID_OK &&
         fluid_player_play(s.player) == FLUID_OK;
  }
  if (!ok) {
    CloseSynth(s);
    return 0;
  }

  out = Rendering{};
  out.synthVersion = fluid_version_str();
  out.sampleRate = sampleRate;
  out.fontCount = fluid_synth_sfcount(s.synth);
  out.channelLevels.assign(midiChannels, {});
  std::vector<std::vector<float>> dry(2 * midiChannels, std::vector<float>(renderBlock));
  std::vector<std::vector<float>> effects(4, std::vector<float>(renderBlock));
  float *dryPointers[2 * midiChannels];
  float *effectPointers[4];
  for (int i = 0; i < 2 * midiChannels; i++) dryPointers[i] = dry[size_t(i)].data();
  for (int i = 0; i < 4; i++) effectPointers[i] = effects[size_t(i)].data();

  size_t levelFrames = size_t(out.blockSeconds * sampleRate);
  std::vector<double> energy(midiChannels, 0.0);
  size_t framesInLevel = 0;
  size_t longest = size_t(longestTuneSeconds * sampleRate);
  while (fluid_player_get_status(s.player) == FLUID_PLAYER_PLAYING && out.left.size() < longest) {
    for (auto &buffer : dry) std::fill(buffer.begin(), buffer.end(), 0.0f);
    for (auto &buffer : effects) std::fill(buffer.begin(), buffer.end(), 0.0f);
    fluid_synth_process(s.synth, renderBlock, 4, effectPointers, 2 * midiChannels, dryPointers);
    if (out.channelPresets.empty()) {
      for (int ch = 0; ch < midiChannels; ch++) {
        fluid_preset_t *preset = fluid_synth_get_channel_preset(s.synth, ch);
        out.channelPresets.push_back(preset ? fluid_preset_get_name(preset) : "");
        out.channelBanks.push_back(preset ? fluid_preset_get_banknum(preset) : -1);
      }
    }
    for (int i = 0; i < renderBlock; i++) {
      float left = 0, right = 0;
      if (soloChannel >= 0) {
        left = dry[size_t(2 * soloChannel)][size_t(i)];
        right = dry[size_t(2 * soloChannel + 1)][size_t(i)];
      } else {
        for (int ch = 0; ch < midiChannels; ch++) {
          left += dry[size_t(2 * ch)][size_t(i)];
          right += dry[size_t(2 * ch + 1)][size_t(i)];
        }
        left += effects[0][size_t(i)] + effects[2][size_t(i)];
        right += effects[1][size_t(i)] + effects[3][size_t(i)];
      }
      out.left.push_back(left);
      out.right.push_back(right);
      for (int ch = 0; ch < midiChannels; ch++) {
        double l = dry[size_t(2 * ch)][size_t(i)], r = dry[size_t(2 * ch + 1)][size_t(i)];
        energy[size_t(ch)] += 0.5 * (l * l + r * r);
      }
      if (++framesInLevel == levelFrames) {
        for (int ch = 0; ch < midiChannels; ch++) {
          out.channelLevels[size_t(ch)].push_back(float(std::sqrt(energy[size_t(ch)] / levelFrames)));
          energy[size_t(ch)] = 0;
        }
        framesInLevel = 0;
      }
    }
  }
  CloseSynth(s);
  return 1;
}

int RenderNote(const std::string &dlsPath, int program, bool drums, int key, int velocity, double seconds,
               int sampleRate, std::vector<float> &mono) {
  OfflineSynth s;
  if (!OpenSynth(s, dlsPath, sampleRate, false)) {
    CloseSynth(s);
    return 0;
  }
  int channel = drums ? 9 : 0;
  fluid_synth_cc(s.synth, channel, 0, 0);
  fluid_synth_program_change(s.synth, channel, program);
  fluid_synth_noteon(s.synth, channel, key, velocity);
  size_t frames = size_t(seconds * sampleRate);
  std::vector<float> left(frames), right(frames);
  fluid_synth_write_float(s.synth, int(frames), left.data(), 0, 1, right.data(), 0, 1);
  mono.resize(frames);
  for (size_t i = 0; i < frames; i++) mono[i] = 0.5f * (left[i] + right[i]);
  CloseSynth(s);
  return 1;
}

MixFigures MeasureMix(const Rendering &rendering) {
  MixFigures figures;
  double leftEnergy = 0, rightEnergy = 0, shared = 0;
  size_t frames = std::min(rendering.left.size(), rendering.right.size());
  for (size_t i = 0; i < frames; i++) {
    double l = rendering.left[i], r = rendering.right[i];
    leftEnergy += l * l;
    rightEnergy += r * r;
    shared += l * r;
    float larger = float(std::max(std::fabs(l), std::fabs(r)));
    figures.peak = std::max(figures.peak, larger);
    if (larger >= 1.0f) figures.clippedFrames++;
  }
  if (frames == 0) return figures;
  figures.rmsLeft = std::sqrt(leftEnergy / double(frames));
  figures.rmsRight = std::sqrt(rightEnergy / double(frames));
  if (leftEnergy > 0 && rightEnergy > 0) figures.correlation = shared / std::sqrt(leftEnergy * rightEnergy);
  return figures;
}

int WriteWavFile(const std::string &path, const Rendering &rendering) {
  ByteSink sink;
  size_t riff = BeginRiff(sink, "WAVE");
  size_t fmt = BeginChunk(sink, "fmt ");
  PutU16(sink, 1);
  PutU16(sink, 2);
  PutU32(sink, uint32_t(rendering.sampleRate));
  PutU32(sink, uint32_t(rendering.sampleRate) * 4);
  PutU16(sink, 4);
  PutU16(sink, 16);
  EndChunk(sink, fmt);
  size_t data = BeginChunk(sink, "data");
  for (size_t i = 0; i < rendering.left.size(); i++) {
    for (float value : {rendering.left[i], rendering.right[i]}) {
      long sample = std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
      PutU16(sink, uint16_t(int16_t(sample)));
    }
  }
  EndChunk(sink, data);
  EndChunk(sink, riff);
  return WriteWholeFile(path, sink.bytes);
}
