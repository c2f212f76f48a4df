// Measures the music on the port: how soon the first sound comes after
// StartMusic, what the synthesiser costs in memory and processor time, and how
// fast it renders offline. With --wav PATH it also writes the whole tune,
// rendered offline with its own instruments, as a 16-bit stereo WAV file.
//
//   music_bench [--seconds N] [--wav build/linux/tune.wav]
//   music_bench --first-sound 1     one cold start, printed in milliseconds
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "dmusic/dmusic_internal.h"
#include "music/music.h"
#include "shell/shell.h"

ShellState shell;

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int64_t> firstSoundNs{-1};
std::atomic<int64_t> musicStartNs{0};

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void NoteFirstSound(const float* interleaved, int frames) {
  if (firstSoundNs >= 0) return;
  for (int i = 0; i < 2 * frames; ++i)
    if (std::fabs(interleaved[i]) > 1e-3) {
      firstSoundNs = NowNs() + int64_t(i / 2) * 1000000000 / MusicSampleRate - musicStartNs;
      return;
    }
}

double CpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, 6, "VmRSS:") == 0) return std::atol(line.c_str() + 6);
  return 0;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Time from StartMusic to the first audible sample leaving the synthesiser, in
// this process (so cold, as in the saver, when it is the process's first).
double MeasureFirstSound() {
  firstSoundNs = -1;
  ObservePortMusicOutput(NoteFirstSound);
  musicStartNs = NowNs();
  if (!StartMusic()) return -1;
  PlayResourceSong(TuneResource, InstrumentsResource);
  while (firstSoundNs < 0 && NowNs() - musicStartNs < 3000000000LL) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PumpMusicNotifications();
  }
  StopMusic();
  ObservePortMusicOutput(nullptr);
  return firstSoundNs / 1e6;
}

// Each start in a fresh process of its own, with the audio driver given.
void MeasureColdStarts(const char* self, const char* driver, const char* label) {
  std::vector<double> times;
  std::string command =
      std::string(driver ? std::string("SDL_AUDIODRIVER=") + driver + " " : "") + self + " --first-sound 1";
  for (int run = 0; run < 7; ++run) {
    FILE* child = popen(command.c_str(), "r");
    double ms = -1;
    if (child && std::fscanf(child, "%lf", &ms) == 1 && ms >= 0) times.push_back(ms);
    if (child) pclose(child);
  }
  if (times.empty()) {
    std::printf("first sound (%s): none\n", label);
    return;
  }
  std::printf("first sound after StartMusic, cold process (%s): median %.1f ms, best %.1f, worst %.1f (%zu runs)\n",
              label, Median(times), *std::min_element(times.begin(), times.end()),
              *std::max_element(times.begin(), times.end()), times.size());
}

// Memory and processor time while the tune plays in real time, the program's
// thread polling once per 60 Hz frame as the show does.
void MeasureRunning(double seconds) {
  malloc_trim(0);
  long residentBefore = ResidentKb();
  size_t heapBefore = mallinfo2().uordblks;
  if (!StartMusic() || !PlayResourceSong(TuneResource, InstrumentsResource)) {
    std::printf("music did not start\n");
    return;
  }
  long residentLoaded = ResidentKb();
  size_t heapLoaded = mallinfo2().uordblks;
  double cpuStart = CpuSeconds();
  auto wallStart = Clock::now();
  long residentPeak = residentLoaded;
  while (std::chrono::duration<double>(Clock::now() - wallStart).count() < seconds) {
    std::this_thread::sleep_for(std::chrono::microseconds(16667));
    PumpMusicNotifications();
  }
  residentPeak = std::max(residentPeak, ResidentKb());
  double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
  double cpu = CpuSeconds() - cpuStart;
  StopMusic();
  std::printf("memory: synthesiser with tune and instruments loaded %.1f MB heap, %.1f MB resident (peak %.1f MB)\n",
              (heapLoaded - heapBefore) / 1048576.0, (residentLoaded - residentBefore) / 1024.0,
              (residentPeak - residentBefore) / 1024.0);
  std::printf("processor while playing in real time (%s): %.2f %% of one core over %.0f s\n",
              std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "default output", 100 * cpu / wall,
              wall);
}

struct WavWriter {
  std::vector<int16_t> samples;
  void Add(const float* interleaved, size_t count) {
    for (size_t i = 0; i < count; ++i)
      samples.push_back(int16_t(std::lround(std::clamp(interleaved[i], -1.0f, 1.0f) * 32767)));
  }
  bool Save(const char* path) const {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    uint32_t bytes = uint32_t(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(2);
    u32(MusicSampleRate);
    u32(MusicSampleRate * 4);
    u16(4);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(bytes);
    std::fwrite(samples.data(), 2, samples.size(), f);
    return std::fclose(f) == 0;
  }
};

// The whole tune offline, as fast as the synthesiser goes: its cost per second
// of music, and the rendering itself when a path is given.
void RenderOffline(const char* wavPath) {
  SelectPortMusicSink(MusicSinkKind::Offline);
  bool started = StartMusic() && PlayResourceSong(TuneResource, InstrumentsResource);
  SelectPortMusicSink(MusicSinkKind::Device);
  if (!started) {
    std::printf("offline music did not start\n");
    return;
  }
  IDirectMusicSegment* firstSegment = musicPlayer.segment;
  WavWriter wav;
  std::vector<float> block(2 * 1024);
  double cpuStart = CpuSeconds();
  auto wallStart = Clock::now();
  size_t frames = 0, endFrames = 0;
  // The restart rule reloads the tune when it stops; one more second after that.
  while (frames < size_t(600) * MusicSampleRate) {
    if (!RenderPortMusic(musicPlayer.performance, block.data(), 1024)) break;
    frames += 1024;
    if (!endFrames) {
      PumpMusicNotifications();
      if (musicPlayer.segment != firstSegment) endFrames = frames;
    }
    if (!endFrames || frames < endFrames + MusicSampleRate) wav.Add(block.data(), block.size());
    if (endFrames && frames >= endFrames + MusicSampleRate) break;
  }
  double wall = std::chrono::duration<double>(Clock::now() - wallStart).count();
  double cpu = CpuSeconds() - cpuStart;
  StopMusic();
  double music = double(frames) / MusicSampleRate;
  std::printf(
      "offline: %.1f s of music (tune stopped at %.1f s) rendered in %.2f s of processor time: %.2f %% of one "
      "core per second of music, %.0fx real time\n",
      music, double(endFrames) / MusicSampleRate, cpu, 100 * cpu / music, music / wall);
  if (wavPath) std::printf("%s %s\n", wav.Save(wavPath) ? "wrote" : "could not write", wavPath);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 20;
  const char* wavPath = nullptr;
  bool firstSoundOnly = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--wav")) wavPath = argv[i + 1];
    if (!std::strcmp(argv[i], "--first-sound")) firstSoundOnly = true;
  }
  // Settings go to a scratch registry, not the user's.
  char config[] = "/tmp/glimmerz-music-bench-XXXXXX";
  if (mkdtemp(config)) setenv("XDG_CONFIG_HOME", config, 1);
  CoInitialize(nullptr);
  if (firstSoundOnly) {
    std::printf("%.3f\n", MeasureFirstSound());
  } else {
    RenderOffline(wavPath);
    // The system's own output (here, without a sound card: the silent clock),
    // then SDL's dummy device in the place of a sound card: SDL's audio thread
    // asking for blocks in real time, as a card would.
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 1;
    MeasureColdStarts(self, nullptr, "default output");
    MeasureColdStarts(self, "dummy", "SDL audio thread");
    MeasureRunning(seconds);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    MeasureRunning(seconds);
    unsetenv("SDL_AUDIODRIVER");
  }
  CoUninitialize();
  std::string cleanup = std::string("rm -rf ") + config;
  return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
