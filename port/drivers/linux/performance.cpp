// The performance: one FluidSynth synthesiser, a MIDI file player driven by the
// samples the synthesiser renders (so no timer thread is needed), and the one
// notification the program listens for, the music having stopped.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "fluid_performance.h"

static MusicSinkKind selectedSinkKind = MusicSinkKind::Device;

void SelectPortMusicSink(MusicSinkKind kind) { selectedSinkKind = kind; }

// Loudness of the whole mix: the synthesiser's default leaves a full
// arrangement quiet, and more than this lets loud chords clip.
static const double MusicGain = 0.4;

FluidPerformance::~FluidPerformance() { CloseDown(); }

HRESULT FluidPerformance::OpenSynth() {
  SilenceMusicLibraries();

  sink = MusicSink();
  sink.kind = selectedSinkKind;
  settings = new_fluid_settings();
  if (!settings) return E_OUTOFMEMORY;
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  fluid_settings_setnum(settings, "synth.sample-rate", MusicSampleRate);
  fluid_settings_setnum(settings, "synth.gain", MusicGain);
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  if (sink.kind == MusicSinkKind::OfflineStems) {
    fluid_settings_setint(settings, "synth.audio-channels", MusicChannels);
    fluid_settings_setint(settings, "synth.audio-groups", MusicChannels);
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
  }
  synth = new_fluid_synth(settings);
  if (!synth) {
    delete_fluid_settings(settings);
    settings = nullptr;
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

bool FluidPerformance::OpenOutput() { return OpenMusicSink(&sink, synth); }

bool FluidPerformance::StartTune(const MusicBytes& midi) {
  LockMusicSink(&sink);
  EndTune();
  player = new_fluid_player(synth);
  bool started = player && fluid_player_add_mem(player, midi.data(), midi.size()) == FLUID_OK &&
                 fluid_player_play(player) == FLUID_OK;
  if (!started) EndTune();
  UnlockMusicSink(&sink);
  return started;
}

void FluidPerformance::StopTune() {
  LockMusicSink(&sink);
  EndTune();
  fluid_synth_all_sounds_off(synth, -1);
  UnlockMusicSink(&sink);
}

void FluidPerformance::EndTune() {
  if (!player) return;
  fluid_player_stop(player);
  delete_fluid_player(player);
  player = nullptr;
}

// The tune has stopped once its last event has passed and its last note has
// died away. The player gives up on notes that ring on for ever by itself.
bool FluidPerformance::TakeTuneEnded() {
  LockMusicSink(&sink);
  bool ended = false;
  if (player) {
    int total = fluid_player_get_total_ticks(player);
    bool eventsDone = total > 0 && fluid_player_get_current_tick(player) >= total;
    ended = fluid_player_get_status(player) == FLUID_PLAYER_DONE ||
            (eventsDone && fluid_synth_get_active_voice_count(synth) == 0);
  }
  if (ended) EndTune();
  UnlockMusicSink(&sink);
  return ended;
}

void FluidPerformance::CloseSynth() {
  CloseMusicSink(&sink);
  EndTune();
  instruments.clear();
  if (synth) delete_fluid_synth(synth);
  if (settings) delete_fluid_settings(settings);
  synth = nullptr;
  settings = nullptr;
}

int FluidPerformance::LoadInstruments(const MusicBytes& dls) {
  if (!synth) return -1;
  // The DLS reader wants a path; a memory-backed descriptor gives it one
  // without a file on disk.
  int fd = memfd_create("glimmerz-instruments", MFD_CLOEXEC);
  if (fd < 0) return -1;
  size_t written = 0;
  while (written < dls.size()) {
    ssize_t n = write(fd, dls.data() + written, dls.size() - written);
    if (n <= 0) break;
    written += size_t(n);
  }
  int id = -1;
  if (written == dls.size()) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    LockMusicSink(&sink);
    id = fluid_synth_sfload(synth, path, 1);
    UnlockMusicSink(&sink);
  }
  close(fd);
  if (id < 0) return -1;
  instruments.push_back(id);
  return id;
}

void FluidPerformance::UnloadInstruments(int id) {
  auto it = std::find(instruments.begin(), instruments.end(), id);
  if (it == instruments.end()) return;
  instruments.erase(it);
  LockMusicSink(&sink);
  SilenceVoices();
  fluid_synth_sfunload(synth, id, 1);
  UnlockMusicSink(&sink);
}

// Unloading instruments that still sound makes the synthesiser wait for them on
// a thread of its own; cutting the voices first keeps it on this one.
void FluidPerformance::SilenceVoices() {
  if (fluid_synth_get_active_voice_count(synth) == 0) return;
  fluid_synth_all_sounds_off(synth, -1);
  float scratch[2 * 64];
  for (int i = 0; i < 16 && fluid_synth_get_active_voice_count(synth) > 0; ++i)
    fluid_synth_write_float(synth, 64, scratch, 0, 2, scratch, 1, 2);
}

int FluidPerformance::RenderStereo(float* interleaved, int frames) {
  if (!synth || sink.kind != MusicSinkKind::Offline || !OutputOpen()) return 0;
  return fluid_synth_write_float(synth, frames, interleaved, 0, 2, interleaved, 1, 2) == FLUID_OK;
}

int FluidPerformance::RenderStems(float** channels, int frames) {
  if (!synth || sink.kind != MusicSinkKind::OfflineStems || !OutputOpen()) return 0;
  for (int i = 0; i < 2 * MusicChannels; ++i) std::fill(channels[i], channels[i] + frames, 0.0f);
  return fluid_synth_process(synth, frames, 0, nullptr, 2 * MusicChannels, channels) == FLUID_OK;
}

PortPerformance* NewPortPerformance() { return new FluidPerformance(); }

int RenderPortMusic(IDirectMusicPerformance* performance, float* interleaved, int frames) {
  auto* p = dynamic_cast<FluidPerformance*>(performance);
  return p ? p->RenderStereo(interleaved, frames) : 0;
}

int RenderPortMusicStems(IDirectMusicPerformance* performance, float** channels, int frames) {
  auto* p = dynamic_cast<FluidPerformance*>(performance);
  return p ? p->RenderStems(channels, frames) : 0;
}

const char* PortMusicDriver(IDirectMusicPerformance* performance) {
  auto* p = dynamic_cast<FluidPerformance*>(performance);
  return p ? p->DriverName() : "";
}
