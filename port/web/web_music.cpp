// DirectMusic's performance in a browser, on the page's synthesiser
// (js-synthesizer: FluidSynth built for the web, page/music.js). The page's
// synthesiser reads SoundFonts, not DLS, so a collection downloaded here is
// played with the SoundFont the instrument generator writes from the same
// design (instruments.sf2, loaded by the page beside the program); the tune
// itself is the program's own bytes. Without a synthesiser the show goes on in
// silence, and a tune that never sounds never ends.
#include <emscripten.h>

#include "dmusic/dmusic_internal.h"

namespace {
EM_JS(int, PageMusicLoadInstruments, (), { return Module.glimmerzMusic.loadInstruments(); });
EM_JS(void, PageMusicUnloadInstruments, (int id), { Module.glimmerzMusic.unloadInstruments(id); });
EM_JS(int, PageMusicPlay, (const uint8_t* bytes, int length), {
  return Module.glimmerzMusic.play(HEAPU8.slice(bytes, bytes + length)) ? 1 : 0;
});
EM_JS(void, PageMusicStop, (), { Module.glimmerzMusic.stop(); });
EM_JS(int, PageMusicTakeEnded, (), { return Module.glimmerzMusic.takeEnded() ? 1 : 0; });

class WebPerformance : public PortPerformance {
 public:
  ~WebPerformance() override { CloseDown(); }

  HRESULT Init(IDirectMusic** directMusic, LPDIRECTSOUND directSound, HWND) override {
    if (initialised) return DMUS_E_ALREADY_INITED;
    // There is no DirectMusic or DirectSound object to share here.
    if (directMusic || directSound) return E_NOTIMPL;
    initialised = true;
    return S_OK;
  }

  HRESULT AddPort(IDirectMusicPort* port) override {
    if (!initialised) return DMUS_E_NOT_INIT;
    return port ? E_NOTIMPL : S_OK;  // only the default port exists
  }

  HRESULT PlaySegment(IDirectMusicSegment* segment, DWORD flags, LONGLONG,
                      IDirectMusicSegmentState** segmentState) override {
    if (!initialised) return DMUS_E_NOT_INIT;
    if (!segment) return E_POINTER;
    if (segmentState || (flags & DMUS_SEGF_SECONDARY)) return E_NOTIMPL;
    auto* tune = dynamic_cast<PortSegment*>(segment);
    if (!tune) return E_INVALIDARG;
    return PageMusicPlay(tune->midi.data(), (int)tune->midi.size()) ? S_OK : E_FAIL;
  }

  HRESULT Stop(IDirectMusicSegment*, IDirectMusicSegmentState*, MUSIC_TIME, DWORD) override {
    if (!initialised) return DMUS_E_NOT_INIT;
    PageMusicStop();
    return S_OK;
  }

  HRESULT CloseDown() override {
    if (initialised) PageMusicStop();
    initialised = false;
    DropNotifications();
    return S_OK;
  }

  bool Initialised() const override { return initialised; }

  int LoadInstruments(const MusicBytes&) override { return initialised ? PageMusicLoadInstruments() : -1; }

  void UnloadInstruments(int id) override { PageMusicUnloadInstruments(id); }

 protected:
  bool TakeTuneEnded() override { return PageMusicTakeEnded() != 0; }

 private:
  bool initialised = false;
};
}  // namespace

HRESULT CreatePortPerformance(REFIID iid, void** object) {
  auto* performance = new WebPerformance();
  HRESULT result = performance->QueryInterface(iid, object);
  performance->Release();
  return result;
}
