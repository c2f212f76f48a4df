// The page's synthesiser is FluidSynth built for the web, a version apart from
// the system's; render_tune_page.js runs it in node and hands back the same
// figures tune_render.cpp gathers natively.
#include "tune_render.h"

#include "byte_sink.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

const int midiChannels = 16;

std::string TemporaryPath(const char *pattern) {
  gchar *path = nullptr;
  gint fd = g_file_open_tmp(pattern, &path, nullptr);
  if (fd < 0) return "";
  g_close(fd, nullptr);
  std::string result = path;
  g_free(path);
  return result;
}

// The report render_tune_page.js prints, line by line.
void ReadReport(const std::string &report, Rendering &out) {
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string key;
    int channel = -1, bank = -1;
    words >> key;
    if (key == "version") words >> out.synthVersion;
    if (key == "rate") words >> out.sampleRate;
    if (key == "fonts") words >> out.fontCount;
    if (key == "preset" && words >> channel >> bank && channel >= 0 && channel < midiChannels) {
      out.channelBanks[size_t(channel)] = bank;
      std::getline(words >> std::ws, out.channelPresets[size_t(channel)]);
    }
    if (key == "levels" && words >> channel && channel >= 0 && channel < midiChannels)
      out.channelLevels[size_t(channel)].assign(std::istream_iterator<float>(words), std::istream_iterator<float>());
  }
}

}  // namespace

int RenderTuneInPage(const std::vector<uint8_t> &midi, const std::string &sf2Path, int sampleRate, int soloChannel,
                     Rendering &out) {
  std::string tunePath = TemporaryPath("glimmerz-tune-XXXXXX.mid"), mixPath = TemporaryPath("glimmerz-mix-XXXXXX.f32");
  std::string rate = std::to_string(sampleRate), solo = std::to_string(soloChannel);
  const gchar *argv[] = {"node",          GLIMMERZ_PAGE_RENDERER, tunePath.c_str(), sf2Path.c_str(),
                         mixPath.c_str(), solo.c_str(),           rate.c_str(),     nullptr};
  gchar *report = nullptr;
  gint status = -1;
  bool ran = !tunePath.empty() && !mixPath.empty() && WriteWholeFile(tunePath, midi) &&
             g_spawn_sync(nullptr, const_cast<gchar **>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &report,
                          nullptr, &status, nullptr) &&
             g_spawn_check_wait_status(status, nullptr);

  out = Rendering{};
  out.channelLevels.assign(midiChannels, {});
  out.channelPresets.assign(midiChannels, "");
  out.channelBanks.assign(midiChannels, -1);
  if (ran) {
    ReadReport(report, out);
    std::ifstream file(mixPath, std::ios::binary | std::ios::ate);
    std::vector<float> mix(file ? size_t(file.tellg()) / sizeof(float) : 0);
    file.seekg(0).read(reinterpret_cast<char *>(mix.data()), std::streamsize(mix.size() * sizeof(float)));
    for (size_t i = 0; i + 1 < mix.size(); i += 2) {
      out.left.push_back(mix[i]);
      out.right.push_back(mix[i + 1]);
    }
  }
  g_free(report);
  if (!tunePath.empty()) g_remove(tunePath.c_str());
  if (!mixPath.empty()) g_remove(mixPath.c_str());
  return ran && out.sampleRate == sampleRate;
}

// One note as a tune of its own: a millisecond a tick, the key held for
// `seconds` on the channel a drum kit or a melodic instrument plays on.
int RenderNoteInPage(const std::string &sf2Path, int program, bool drums, int key, int velocity, double seconds,
                     int sampleRate, std::vector<float> &mono) {
  uint8_t channel = drums ? 9 : 0;
  uint32_t held = uint32_t(std::lround(seconds * 1000));
  ByteSink track;
  for (std::vector<uint8_t> event :
       std::vector<std::vector<uint8_t>>{{0xFF, 0x51, 3, 0x0F, 0x42, 0x40},  // a quarter note lasts a second
                                         {uint8_t(0xB0 | channel), 0, 0},
                                         {uint8_t(0xC0 | channel), uint8_t(program)},
                                         {uint8_t(0x90 | channel), uint8_t(key), uint8_t(velocity)}}) {
    PutVarLen(track, 0);
    PutBytes(track, event);
  }
  PutVarLen(track, held);
  PutBytes(track, {uint8_t(0x80 | channel), uint8_t(key), 64});
  PutVarLen(track, 0);
  PutBytes(track, {0xFF, 0x2F, 0});
  ByteSink file;
  PutFourCC(file, "MThd");
  PutBigU32(file, 6);
  PutBigU16(file, 0);
  PutBigU16(file, 1);
  PutBigU16(file, 1000);
  PutFourCC(file, "MTrk");
  PutBigU32(file, uint32_t(track.bytes.size()));
  PutBytes(file, track.bytes);

  Rendering rendering;
  size_t frames = size_t(seconds * sampleRate);
  if (!RenderTuneInPage(file.bytes, sf2Path, sampleRate, channel, rendering) || rendering.left.size() < frames)
    return 0;
  mono.resize(frames);
  for (size_t i = 0; i < frames; i++) mono[i] = 0.5f * (rendering.left[i] + rendering.right[i]);
  return 1;
}
