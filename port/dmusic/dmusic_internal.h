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

// The performance: DirectMusic's side of it is here (performance.cpp), the
// synthesiser underneath is the system's (FluidSynth on Linux, the page's in a
// browser), which the driver's subclass supplies. It hands out the one
// notification the program listens for, the music having stopped
// (notifications.cpp).
class PortPerformance : public PortComObject<IDirectMusicPerformance> {
 public:
  PortPerformance() : PortComObject(IID_IDirectMusicPerformance) {}
  ~PortPerformance() override;
  bool Initialised() const { return initialised; }
  // Loads a DLS collection into the synthesiser: an id for UnloadInstruments, or -1.
  virtual int LoadInstruments(const MusicBytes& dls) = 0;
  virtual void UnloadInstruments(int id) = 0;

  HRESULT Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND window) override;
  HRESULT AddPort(IDirectMusicPort* port) override;
  HRESULT PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG startTime,
                      IDirectMusicSegmentState** segmentState) override;
  HRESULT Stop(IDirectMusicSegment* segment, IDirectMusicSegmentState* segmentState, MUSIC_TIME time,
               DWORD flags) override;
  HRESULT CloseDown() override;
  HRESULT FreePMsg(DMUS_PMSG* message) override;
  HRESULT GetNotificationPMsg(DMUS_NOTIFICATION_PMSG** message) override;
  HRESULT AddNotificationType(REFGUID notificationType) override;

 protected:
  // The synthesiser: made at Init, heard from the first AddPort on, a tune
  // started over whatever played, stopped with its voices, and done with.
  virtual HRESULT OpenSynth() = 0;
  virtual bool OpenOutput() = 0;
  virtual bool StartTune(const MusicBytes& midi) = 0;
  virtual void StopTune() = 0;
  virtual void CloseSynth() = 0;
  // Asked before every look at the notifications: true when the tune has
  // stopped by itself since the last time.
  virtual bool TakeTuneEnded() = 0;
  bool OutputOpen() const { return portAdded; }

 private:
  void DropNotifications();
  bool initialised = false;
  bool portAdded = false;
  bool performanceNotifications = false;
  std::vector<DMUS_NOTIFICATION_PMSG*> queued;
  std::vector<DMUS_NOTIFICATION_PMSG*> handedOut;
};

// The system's performance (the driver's), and the COM class made from it.
PortPerformance* NewPortPerformance();
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
