// The synthesiser's output: an SDL audio device rendered from SDL's callback.
// Where no device opens, the silent clock takes its place (dmusic_internal.h).
//
// The fallback is a clock rather than SDL's dummy device because switching
// SDL from a driver that initialised but could not open (ALSA without a sound
// card) to another one waits for that driver's hot-plug thread, up to a tenth
// of a second of the saver's start.
#include <SDL.h>

#include <chrono>
#include <cstdlib>

#include "fluid_performance.h"

std::atomic<MusicOutputObserver> portMusicObserver{nullptr};

void ObservePortMusicOutput(MusicOutputObserver observer) { portMusicObserver = observer; }

// About 23 ms of sound per callback.
static const int MusicBlockFrames = 1024;
// A clock that has fallen further behind than this (the program was held up)
// skips ahead rather than rendering the backlog in one go.
static const int64_t LongestCatchUpFrames = MusicSampleRate / 2;

static int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

static void RenderInto(fluid_synth_t* synth, float* out, int frames) {
  fluid_synth_write_float(synth, frames, out, 0, 2, out, 1, 2);
  if (MusicOutputObserver observer = portMusicObserver.load()) observer(out, frames);
}

static void RenderMusicBlock(void* userdata, Uint8* stream, int length) {
  auto* sink = static_cast<MusicSink*>(userdata);
  RenderInto(sink->synth, reinterpret_cast<float*>(stream), length / int(2 * sizeof(float)));
}

static void CatchUpClock(MusicSink* sink) {
  int64_t due = (NowNs() - sink->clockStartNs) * MusicSampleRate / 1000000000;
  if (due - sink->clockFrames > LongestCatchUpFrames) sink->clockFrames = due - LongestCatchUpFrames;
  float block[2 * MusicBlockFrames];
  while (sink->clockFrames < due) {
    int frames = int(std::min<int64_t>(MusicBlockFrames, due - sink->clockFrames));
    RenderInto(sink->synth, block, frames);
    sink->clockFrames += frames;
  }
}

bool OpenMusicSink(MusicSink* sink, fluid_synth_t* synth) {
  sink->synth = synth;
  if (sink->kind != MusicSinkKind::Device) {
    sink->driver = "offline";
    return true;
  }
  // A machine without a JACK server must not get one started for a screen saver.
  setenv("JACK_NO_START_SERVER", "1", 1);
  SilenceSoundSystem();
  if (TakeTuneLock() && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    sink->sdlAudioStarted = true;
    SDL_AudioSpec wanted = {};
    wanted.freq = MusicSampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = MusicBlockFrames;
    wanted.callback = RenderMusicBlock;
    wanted.userdata = sink;
    // SDL converts to whatever the device wants.
    sink->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  }
  if (sink->device) {
    sink->driver = SDL_GetCurrentAudioDriver();
    SDL_PauseAudioDevice(sink->device, 0);
  } else {
    // SDL stays up, if it came up, until the performance closes: taking it
    // down is what is slow.
    sink->clocked = true;
    sink->clockStartNs = NowNs();
    sink->clockFrames = 0;
    sink->driver = "silent";
  }
  return true;
}

void CloseMusicSink(MusicSink* sink) {
  if (sink->device) SDL_CloseAudioDevice(sink->device);
  if (sink->sdlAudioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  *sink = MusicSink{sink->kind};
}

void LockMusicSink(MusicSink* sink) {
  if (sink->device)
    SDL_LockAudioDevice(sink->device);
  else if (sink->clocked)
    CatchUpClock(sink);
}

void UnlockMusicSink(MusicSink* sink) {
  if (sink->device) SDL_UnlockAudioDevice(sink->device);
}
