// The performance on FluidSynth: its synthesiser, MIDI file player and audio
// output (performance.cpp, sink.cpp).
#pragma once

#include <fluidsynth.h>

#include "dmusic/dmusic_internal.h"

// The audio output of one performance. A device renders from SDL's callback on
// SDL's audio thread. Without one, the silent clock renders on the program's
// thread whatever the clock says is due whenever the performance is locked, so
// the tune still advances, ends and restarts in real time while nothing is heard.
struct MusicSink {
  MusicSinkKind kind = MusicSinkKind::Device;
  uint32_t device = 0;  // SDL_AudioDeviceID
  bool sdlAudioStarted = false;
  bool clocked = false;
  int64_t clockStartNs = 0;
  int64_t clockFrames = 0;  // rendered since clockStartNs
  fluid_synth_t* synth = nullptr;
  const char* driver = "";
};
// Opens the sink; for a device, the system's output, else the silent clock.
bool OpenMusicSink(MusicSink* sink, fluid_synth_t* synth);
void CloseMusicSink(MusicSink* sink);
// Keeps the audio thread out while the synthesiser or its player is changed;
// the silent clock catches up first.
void LockMusicSink(MusicSink* sink);
void UnlockMusicSink(MusicSink* sink);

// Keep FluidSynth, libinstpatch and ALSA quiet on the terminal.
void SilenceMusicLibraries();
void SilenceSoundSystem();

class FluidPerformance : public PortPerformance {
 public:
  ~FluidPerformance() override;
  int LoadInstruments(const MusicBytes& dls) override;
  void UnloadInstruments(int id) override;

  // Offline rendering (for tests): 0 when the sink is not of the kind asked for.
  int RenderStereo(float* interleaved, int frames);
  int RenderStems(float** channels, int frames);
  const char* DriverName() const { return sink.driver; }

 private:
  HRESULT OpenSynth() override;
  bool OpenOutput() override;
  bool StartTune(const MusicBytes& midi) override;
  void StopTune() override;
  void CloseSynth() override;
  bool TakeTuneEnded() override;
  void SilenceVoices();
  void EndTune();
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  MusicSink sink;
  std::vector<int> instruments;
};
