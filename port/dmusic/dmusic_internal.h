// What the DirectMusic modules share: the objects behind the interfaces, the
// synthesiser's output, and the hooks tests and measurements use to listen.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include <fluidsynth.h>

#include "win32/com_object.h"
#include "dmusic.h"

typedef std::vector<uint8_t> MusicBytes;

// Where the synthesiser's samples go.
enum class MusicSinkKind {
  Device,        // an SDL audio device, or the silent clock when none opens
  Offline,       // nowhere until a test pulls blocks with RenderPortMusic
  OfflineStems,  // as Offline, but each MIDI channel rendered on its own (no effects)
};

const int MusicSampleRate = 44100;
const int MusicChannels = 16;

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

// True when this process may play out loud: no other copy of the user's holds the tune.
bool TakeTuneLock();

// Keep FluidSynth, libinstpatch and ALSA quiet on the terminal.
void SilenceMusicLibraries();
void SilenceSoundSystem();

class PortPerformance;

class PortCollection : public PortComObject<IDirectMusicCollection> {
 public:
  explicit PortCollection(MusicBytes dls);
  const MusicBytes dls;
};

class PortSegment : public PortComObject<IDirectMusicSegment> {
 public:
  explicit PortSegment(MusicBytes midi);
  ~PortSegment() override;
  HRESULT SetParam(REFGUID type, DWORD groupBits, DWORD index, MUSIC_TIME time, void* param) override;
  const MusicBytes midi;

 private:
  void Unload();
  PortCollection* collection = nullptr;
  PortPerformance* downloadedTo = nullptr;  // holds a reference while set
  int instrumentsId = -1;
};

class PortPerformance : public PortComObject<IDirectMusicPerformance> {
 public:
  PortPerformance();
  ~PortPerformance() override;
  HRESULT Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND window) override;
  HRESULT PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG startTime,
                      IDirectMusicSegmentState** segmentState) override;
  HRESULT Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
               DWORD flags) override;
  HRESULT FreePMsg(DMUS_PMSG* message) override;
  HRESULT GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) override;
  HRESULT AddNotificationType(REFGUID notificationType) override;
  HRESULT AddPort(IDirectMusicPort* port) override;
  HRESULT CloseDown() override;

  bool Initialised() const { return synth != nullptr; }
  // Loads a DLS collection into the synthesiser: an id for UnloadInstruments, or -1.
  int LoadInstruments(const MusicBytes& dls);
  void UnloadInstruments(int id);

  // Offline rendering (for tests): 0 when the sink is not of the kind asked for.
  int RenderStereo(float* interleaved, int frames);
  int RenderStems(float** channels, int frames);
  const char* DriverName() const { return sink.driver; }

 private:
  void SilenceVoices();
  void EndTune();
  void NoteTuneEnded();
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  MusicSink sink;
  bool portAdded = false;
  bool performanceNotifications = false;
  std::vector<int> instruments;
  std::vector<DMUS_NOTIFICATION_PMSG*> queued;
  std::vector<DMUS_NOTIFICATION_PMSG*> handedOut;
};

HRESULT CreatePortPerformance(REFIID iid, void** object);
HRESULT CreatePortLoader(REFIID iid, void** object);

// ---------------------------------------------------------------------------
// Hooks for tests and measurements

// The sink kind given to performances initialised from now on.
void SelectPortMusicSink(MusicSinkKind kind);
// Pulls frames of interleaved stereo from an Offline performance; 1 on success.
int RenderPortMusic(IDirectMusicPerformance* performance, float* interleaved, int frames);
// Pulls frames from an OfflineStems performance into channels[0..31]: the left
// and right of MIDI channels 0 to 15, dry.
int RenderPortMusicStems(IDirectMusicPerformance* performance, float** channels, int frames);
// The SDL audio driver a Device performance plays through ("silent" for the clock).
const char* PortMusicDriver(IDirectMusicPerformance* performance);
// Called with every block a Device sink has rendered (on the audio thread, or on
// the program's for the silent clock).
typedef void (*MusicOutputObserver)(const float* interleaved, int frames);
void ObservePortMusicOutput(MusicOutputObserver observer);
extern std::atomic<MusicOutputObserver> portMusicObserver;
