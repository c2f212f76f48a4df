// Set-up's picture work on the real port: decoding the eight bitmaps, and
// building the six textures as set-up does (decode, convert, create, fill).
// Needs an X display; on a machine without one:
//   xvfb-run -a build/linux/tests/bench/gfx_textures_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "gfx/gfx.h"
#include "port_internal.h"
#include "shell/shell.h"

ShellState shell;

namespace {

const int pictures[] = {GlyphSheetBitmap, GlowBitmap,          BulbBitmap,        BulbAlphaBitmap,
                        RockBitmap,       RockBlobAlphaBitmap, WarningSignBitmap, WarningSignAlphaBitmap};

void DecodeAllPictures(benchmark::State& state) {
  PixelImage image;
  for (auto _ : state)
    for (int id : pictures) {
      DecodeBitmapResource(id, &image);
      benchmark::DoNotOptimize(image.pixels.data());
    }
}
BENCHMARK(DecodeAllPictures)->Unit(benchmark::kMillisecond);

// The texture step of set-up, on a device set up once.
void BuildAllTextures(benchmark::State& state) {
  TextureSlot* t = renderDevice.textures;
  for (auto _ : state) {
    for (int i = 0; i < TextureCount; ++i) ReleaseTexture(&t[i]);
    const int built = CreateTexture(&t[Font], GlyphSheetBitmap, IntensityAlpha) &&
                      CreateTexture(&t[Glow], GlowBitmap, Opaque) &&
                      CreateAlphaTexture(&t[Bulb], BulbBitmap, BulbAlphaBitmap) &&
                      CreateAlphaTexture(&t[RockBlob], RockBitmap, RockBlobAlphaBitmap) &&
                      CreateTexture(&t[Rock], RockBitmap, Opaque) &&
                      CreateAlphaTexture(&t[WarningSign], WarningSignBitmap, WarningSignAlphaBitmap);
    if (!built) state.SkipWithError("a texture could not be built");
  }
}
BENCHMARK(BuildAllTextures)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Settings go to a folder of the run's own, never the user's.
  char folder[] = "/tmp/glimmerz-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  setenv("XDG_CONFIG_HOME", folder, 1);
  WNDCLASSEXA saverClass = {};
  saverClass.cbSize = sizeof(saverClass);
  saverClass.lpfnWndProc = DefWindowProcA;
  saverClass.lpszClassName = "glmzsaver";
  RegisterClassExA(&saverClass);
  CoInitialize(nullptr);
  shell.mainWindow = CreateWindowExA(WS_EX_TOPMOST, "glmzsaver", "Glimmerz", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                     nullptr, nullptr, nullptr, nullptr);
  renderDevice.displayWidth = 640;
  renderDevice.displayHeight = 480;
  renderDevice.displayBpp = 16;
  if (!shell.mainWindow || !SetUpRenderDevice()) {
    std::fprintf(stderr, "no device: is there an X display?\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  TearDownRenderDevice();
  DestroyWindow(shell.mainWindow);
  PortExit();
  std::system((std::string("rm -rf '") + folder + "'").c_str());
  return 0;
}
