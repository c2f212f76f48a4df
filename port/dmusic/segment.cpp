// A segment is a Standard MIDI File's bytes plus the instrument collection it
// is connected to; downloading puts that collection into a performance's
// synthesiser, unloading takes it out again.
#include "dmusic_internal.h"

PortCollection::PortCollection(MusicBytes dls) : PortComObject(IID_IDirectMusicCollection), dls(std::move(dls)) {}

PortSegment::PortSegment(MusicBytes midi) : PortComObject(IID_IDirectMusicSegment), midi(std::move(midi)) {}

PortSegment::~PortSegment() {
  Unload();
  if (collection) collection->Release();
}

// Parameters arrive as untyped pointers to interfaces; every object here is an
// IUnknown first.
template <class Object>
static Object* PortObjectOf(void* param) {
  return param ? dynamic_cast<Object*>(static_cast<IUnknown*>(param)) : nullptr;
}

HRESULT PortSegment::SetParam(REFGUID type, DWORD, DWORD, MUSIC_TIME, void* param) {
  if (type == GUID_ConnectToDLSCollection) {
    if (!param) return E_POINTER;
    auto* connected = PortObjectOf<PortCollection>(param);
    if (!connected) return E_INVALIDARG;
    connected->AddRef();
    if (collection) collection->Release();
    collection = connected;
    return S_OK;
  }
  // Every segment here comes from a MIDI file; nothing to change.
  if (type == GUID_StandardMIDIFile) return S_OK;

  if (type == GUID_Download || type == GUID_Unload) {
    auto* performance = PortObjectOf<PortPerformance>(param);
    if (!performance) return param ? E_INVALIDARG : E_POINTER;
    if (type == GUID_Unload) {
      if (downloadedTo != performance) return S_FALSE;
      Unload();
      return S_OK;
    }
    if (!performance->Initialised()) return DMUS_E_NOT_INIT;
    if (!collection) return S_FALSE;  // no instruments of its own to download
    if (downloadedTo == performance) return S_OK;
    Unload();
    int id = performance->LoadInstruments(collection->dls);
    if (id < 0) return DMUS_E_NOTADLSCOL;
    performance->AddRef();
    downloadedTo = performance;
    instrumentsId = id;
    return S_OK;
  }
  return DMUS_E_SET_UNSUPPORTED;
}

void PortSegment::Unload() {
  if (!downloadedTo) return;
  downloadedTo->UnloadInstruments(instrumentsId);
  downloadedTo->Release();
  downloadedTo = nullptr;
  instrumentsId = -1;
}
