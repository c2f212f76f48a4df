// The program's own work per frame, apart from the renderer: the show and the
// graphics layer run for real, the device under them takes every call and does
// nothing. One benchmark per phase, each held at a moment typical of it.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "gfx/gfx.h"
#include "shell/shell.h"
#include "show/show.h"
#include "support/fake_win32.h"

ShellState shell;

namespace {
struct NullDevice : IDirect3DDevice3 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT AddViewport(IDirect3DViewport3*) override { return S_OK; }
  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK, void*) override { return S_OK; }
  HRESULT BeginScene() override { return S_OK; }
  HRESULT EndScene() override { return S_OK; }
  HRESULT SetCurrentViewport(IDirect3DViewport3*) override { return S_OK; }
  HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return S_OK; }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX* m) override {
    benchmark::DoNotOptimize(m->_11);
    return S_OK;
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE, DWORD, void* v, DWORD, DWORD) override {
    benchmark::DoNotOptimize(v);
    return S_OK;
  }
  HRESULT SetTexture(DWORD, IDirect3DTexture2*) override { return S_OK; }
  HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return S_OK; }
};
struct NullSurface : IDirectDrawSurface4 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT Flip(LPDIRECTDRAWSURFACE4, DWORD) override { return S_OK; }
  HRESULT GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE4*) override { return E_FAIL; }
  HRESULT Lock(LPRECT, LPDDSURFACEDESC2, DWORD, HANDLE) override { return E_FAIL; }
  HRESULT Unlock(LPRECT) override { return E_FAIL; }
};
struct NullViewport : IDirect3DViewport3 {
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT SetViewport2(D3DVIEWPORT2*) override { return S_OK; }
};
NullDevice nullDevice;
NullSurface nullSurface;
NullViewport nullViewport;

const char* const headlines[] = {"Fastest Particles in the Universe"};
const char* const bullets[] = {"60 Hz refresh at up to 400 nanometer resolution", "up to 299,792,458 m/s",
                               "300 million MHz wave frequency", "over 2X efficiency increase over candle light",
                               "ZodevaVodor '99 winning ZedadAzi Buddy technology"};

void PrepareShow() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  ResetFakeSystem();
  fakeSystem.strings[200] = headlines[0];
  for (int j = 0; j < 5; ++j) fakeSystem.strings[210 + j] = bullets[j];
  LoadSlideDeck();
  renderDevice.displayWidth = 640;
  renderDevice.displayHeight = 480;
  renderDevice.device = &nullDevice;
  renderDevice.primarySurface = &nullSurface;
  renderDevice.viewport = &nullViewport;
  std::srand(1);
}

// Every iteration starts from the same state, so the phase never ends.
void RunPhase(benchmark::State& state, int32_t phase, DWORD t, ShowDirector start) {
  PrepareShow();
  for (auto _ : state) {
    showDirector = start;
    shell.showPhase = phase;
    shell.clock.phaseElapsed = t;
    shell.clock.frameDelta = 5;
    RenderShowFrame();
  }
}

ShowDirector At(void (*change)(ShowDirector&)) {
  ResetShowDirector();
  ShowDirector s = showDirector;
  s.titleDepth = 1.0f;
  if (change) change(s);
  return s;
}
}  // namespace

static void SignFadeFrame(benchmark::State& s) { RunPhase(s, SignFade, 3000, At(nullptr)); }
static void BulbTitleFrame(benchmark::State& s) { RunPhase(s, BulbTitle, 3000, At(nullptr)); }
static void BulbZoomFrame(benchmark::State& s) { RunPhase(s, BulbZoom, 500, At(nullptr)); }
static void HeadlineFlyInFrame(benchmark::State& s) {
  RunPhase(s, HeadlineFlyIn, 1500, At([](ShowDirector& d) { d.headlineDepth = 4.0f; }));
}
static void HeadlineJoltFrame(benchmark::State& s) {
  RunPhase(s, HeadlineJolt, 4000, At([](ShowDirector& d) { d.joltCycles = 1, d.trainX = -0.5f, d.wordIndex = 2; }));
}
static void HeadlineFlyOutFrame(benchmark::State& s) {
  RunPhase(s, HeadlineFlyOut, 1000, At([](ShowDirector& d) { d.headlineDepth = 1.5f; }));
}
static void BulletTypingFrame(benchmark::State& s) {
  RunPhase(s, BulletTyping, 500, At([](ShowDirector& d) { d.bulletIndex = 4; }));
}
static void BulletHoldFrame(benchmark::State& s) { RunPhase(s, BulletHold, 1000, At(nullptr)); }
static void BulletSpinFrame(benchmark::State& s) { RunPhase(s, BulletSpin, 1000, At(nullptr)); }

BENCHMARK(SignFadeFrame);
BENCHMARK(BulbTitleFrame);
BENCHMARK(BulbZoomFrame);
BENCHMARK(HeadlineFlyInFrame);
BENCHMARK(HeadlineJoltFrame);
BENCHMARK(HeadlineFlyOutFrame);
BENCHMARK(BulletTypingFrame);
BENCHMARK(BulletHoldFrame);
BENCHMARK(BulletSpinFrame);
BENCHMARK_MAIN();
