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
// clang-format off
EM_JS(int, PageMusicLoadInstruments, (), { return Module.glimmerzMusic.loadInstruments(); });
EM_JS(void, PageMusicUnloadInstruments, (int id), { Module.glimmerzMusic.unloadInstruments(id); });
EM_JS(int, PageMusicPlay, (const uint8_t* bytes, int length), {
  return Module.glimmerzMusic.play(HEAPU8.slice(bytes, bytes + length)) ? 1 : 0;
});
EM_JS(void, PageMusicStop, (), { Module.glimmerzMusic.stop(); });
EM_JS(int, PageMusicTakeEnded, (), { return Module.glimmerzMusic.takeEnded() ? 1 : 0; });
// clang-format on

class WebPerformance : public PortPerformance {
 public:
  ~WebPerformance() override { CloseDown(); }
  int LoadInstruments(const MusicBytes&) override { return Initialised() ? PageMusicLoadInstruments() : -1; }
  void UnloadInstruments(int id) override { PageMusicUnloadInstruments(id); }

 private:
  HRESULT OpenSynth() override { return S_OK; }
  bool OpenOutput() override { return true; }
  bool StartTune(const MusicBytes& midi) override { return PageMusicPlay(midi.data(), (int)midi.size()) != 0; }
  void StopTune() override { PageMusicStop(); }
  void CloseSynth() override { PageMusicStop(); }
  bool TakeTuneEnded() override { return PageMusicTakeEnded() != 0; }
};
}  // namespace

PortPerformance* NewPortPerformance() { return new WebPerformance(); }
