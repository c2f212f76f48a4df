// What the DirectMusic modules share: the objects behind the interfaces, the
// synthesiser's output, and the hooks tests and measurements use to listen.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

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

// True when this process may play out loud: no other copy of the user's holds the tune.
bool TakeTuneLock();

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

// The performance the loader's segments download their instruments into: the
// synthesiser underneath is the system's (FluidSynth on Linux, in
// fluid_performance.h; the page's in a browser).
// It hands out the one notification the program listens for, the music having
// stopped (notifications.cpp).
class PortPerformance : public PortComObject<IDirectMusicPerformance> {
 public:
  PortPerformance() : PortComObject(IID_IDirectMusicPerformance) {}
  ~PortPerformance() override;
  virtual bool Initialised() const = 0;
  // Loads a DLS collection into the synthesiser: an id for UnloadInstruments, or -1.
  virtual int LoadInstruments(const MusicBytes& dls) = 0;
  virtual void UnloadInstruments(int id) = 0;

  HRESULT FreePMsg(DMUS_PMSG* message) override;
  HRESULT GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) override;
  HRESULT AddNotificationType(REFGUID notificationType) override;

 protected:
  // Asked before every look at the notifications: true when the tune has
  // stopped by itself since the last time.
  virtual bool TakeTuneEnded() = 0;
  // Drops what is queued, as closing down does.
  void DropNotifications();

 private:
  bool performanceNotifications = false;
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
