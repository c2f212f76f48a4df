// Drives the port's DirectMusic objects the way the music player does, with
// bytes of the test's choosing, and listens to what comes out.
#pragma once

#include <vector>

#include "dmusic/dmusic_internal.h"
#include "port_dmusic/song_bytes.h"

struct PortMusicSession {
  IDirectMusicPerformance* performance = nullptr;
  IDirectMusicLoader* loader = nullptr;
  IDirectMusicSegment* segment = nullptr;
  IDirectMusicCollection* collection = nullptr;
  HRESULT started = E_FAIL;  // Init and AddPort

  explicit PortMusicSession(MusicSinkKind kind, bool notifications = true);
  ~PortMusicSession();

  // GetObject for the tune and (when dls is given) the instruments, connected
  // and downloaded, as the player does it. Any earlier tune is unloaded first.
  HRESULT Load(const Bytes& midi, const Bytes* dls);
  HRESULT Play();
  // Offline sinks only: the next seconds of interleaved stereo.
  std::vector<float> Render(double seconds);
  // OfflineStems only: 32 buffers, left and right of MIDI channels 0 to 15.
  std::vector<std::vector<float>> RenderStems(double seconds);
  // Notifications waiting now that say the music stopped; every one is freed.
  int TakeStopNotifications();
};

HRESULT DescribeAndGet(IDirectMusicLoader* loader, const CLSID& objectClass, const Bytes& bytes, const IID& iid,
                       void** object, DWORD size = sizeof(DMUS_OBJECTDESC));

// Analysis of rendered sound.
double Peak(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX);
// Seconds into a stereo rendering of the first sample louder than threshold, or -1.
double FirstSoundSeconds(const std::vector<float>& interleaved, double threshold = 1e-3);
// The frequency of the strongest spectral peak of a mono stretch between the two frequencies.
double PeakFrequency(const std::vector<float>& mono, size_t from, size_t count, double lowHz, double highHz);
// Threads of this process now.
int ThreadCount();

// A small collection and tune whose every pitch is known: program 0 is a sine
// at A440 (key 69), program 1 a sine at 220 Hz (key 57), and the drum kit a
// noise burst on keys 35 to 81.
Bytes KnownInstruments();
MidiSong KnownSong();  // about 2 s long; channels 0, 1 and 9
