// The performance as DirectMusic has it: what it accepts, in which state, and
// what it answers. The synthesiser behind it is the system's.
#include "dmusic_internal.h"

HRESULT PortPerformance::Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND) {
  if (initialised) return DMUS_E_ALREADY_INITED;
  // There is no DirectMusic or DirectSound object to share here.
  if (directMusic || directSound) return E_NOTIMPL;
  HRESULT result = OpenSynth();
  initialised = SUCCEEDED(result);
  return result;
}

HRESULT PortPerformance::AddPort(IDirectMusicPort* port) {
  if (!initialised) return DMUS_E_NOT_INIT;
  if (port) return E_NOTIMPL;  // only the default port exists
  if (portAdded) return S_OK;
  if (!OpenOutput()) return DMUS_E_DRIVER_FAILED;
  portAdded = true;
  return S_OK;
}

HRESULT PortPerformance::PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG,
                                     IDirectMusicSegmentState** segmentState) {
  if (!initialised) return DMUS_E_NOT_INIT;
  if (!segment) return E_POINTER;
  // Only a primary segment, without a state object to follow it by.
  if (segmentState || (flags & DMUS_SEGF_SECONDARY)) return E_NOTIMPL;
  auto* tune = dynamic_cast<PortSegment*>(segment);
  if (!tune) return E_INVALIDARG;
  return StartTune(tune->midi) ? S_OK : E_FAIL;
}

// A stop asked for is no news to the asker: no notification follows it.
HRESULT PortPerformance::Stop(IDirectMusicSegment*, IDirectMusicSegmentState*, MUSIC_TIME, DWORD) {
  if (!initialised) return DMUS_E_NOT_INIT;
  StopTune();
  return S_OK;
}

HRESULT PortPerformance::CloseDown() {
  if (initialised) CloseSynth();
  initialised = portAdded = false;
  DropNotifications();
  return S_OK;
}

HRESULT CreatePortPerformance(REFIID iid, void** object) {
  PortPerformance* performance = NewPortPerformance();
  HRESULT result = performance->QueryInterface(iid, object);
  performance->Release();
  return result;
}
