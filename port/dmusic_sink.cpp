// The synthesiser's output: an SDL audio device rendered from SDL's callback.
// Where no device opens, SDL's dummy driver consumes the samples in real time,
// so the tune still advances, ends and restarts while nothing is heard.
#include <SDL.h>

#include <cstdlib>

#include "dmusic_internal.h"

std::atomic<MusicOutputObserver> portMusicObserver{nullptr};

void ObservePortMusicOutput(MusicOutputObserver observer) { portMusicObserver = observer; }

// About 23 ms of sound per callback.
static const int MusicBlockFrames = 1024;

static void RenderMusicBlock(void* userdata, Uint8* stream, int length) {
  auto* sink = static_cast<MusicSink*>(userdata);
  auto* out = reinterpret_cast<float*>(stream);
  int frames = length / int(2 * sizeof(float));
  fluid_synth_write_float(sink->synth, frames, out, 0, 2, out, 1, 2);
  if (MusicOutputObserver observer = portMusicObserver.load()) observer(out, frames);
}

static SDL_AudioDeviceID OpenDevice(MusicSink* sink) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec wanted = {};
  wanted.freq = MusicSampleRate;
  wanted.format = AUDIO_F32SYS;
  wanted.channels = 2;
  wanted.samples = MusicBlockFrames;
  wanted.callback = RenderMusicBlock;
  wanted.userdata = sink;
  // SDL converts to whatever the device wants.
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
  if (!device) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return device;
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
  sink->device = OpenDevice(sink);
  if (!sink->device) {
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    sink->device = OpenDevice(sink);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  }
  if (!sink->device) return false;
  sink->sdlAudioStarted = true;
  sink->driver = SDL_GetCurrentAudioDriver();
  SDL_PauseAudioDevice(sink->device, 0);
  return true;
}

void CloseMusicSink(MusicSink* sink) {
  if (sink->device) SDL_CloseAudioDevice(sink->device);
  if (sink->sdlAudioStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  sink->device = 0;
  sink->sdlAudioStarted = false;
  sink->synth = nullptr;
  sink->driver = "";
}

void LockMusicSink(MusicSink* sink) {
  if (sink->device) SDL_LockAudioDevice(sink->device);
}

void UnlockMusicSink(MusicSink* sink) {
  if (sink->device) SDL_UnlockAudioDevice(sink->device);
}
