// Frames per second of the port's DirectDraw and Direct3D on the kind of frame
// the show draws most: a full-screen textured backdrop and 250 glyph-sized,
// textured, alpha-blended quads, each with its own world transform, then Flip
// without waiting for vertical sync. Run it through tests/bench/port_fps.sh,
// which gives it a virtual display of the mode's size and Mesa's software
// rasteriser.
//   port_frame_bench width height bpp [seconds] [x-server-pid]
// Besides frames per second it reports the processor time a frame costs, this
// process (all rasteriser threads) and the X server together: on a busy
// machine that is the steadier figure.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <GL/gl.h>

#include "port_directx/port_display.h"

namespace {
const int Glyphs = 250;

D3DMATRIX Identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

void SetCamera(IDirect3DDevice3* device) {
  D3DMATRIX projection;
  std::memset(&projection, 0, sizeof projection);
  float q = 100.0f / (100.0f - 0.01f);
  projection._11 = (float)(1.0 / std::tan(1.5707964f * 0.5));
  projection._22 = (float)(1.0 / std::tan(1.1780972f * 0.5));
  projection._33 = q;
  projection._34 = 1.0f;
  projection._43 = -q * 0.01f;
  D3DMATRIX view = Identity();
  device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
  device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
}

// One frame as the bullet pages draw it.
void DrawFrame(PortDisplay& display, TestTexture& rock, TestTexture& font, int frame) {
  IDirect3DDevice3* device = display.device;
  device->BeginScene();
  float w = (float)display.width, h = (float)display.height;
  float phase = frame * 0.05f;
  ScreenTexVertex backdrop[4] = {
      {0, 0, 1, 1, 0xFFFF4040, 0.25f * std::sin(phase), 0.25f * std::cos(phase)},
      {w, 0, 1, 1, 0xFFFF4040, 1 + 0.25f * std::sin(phase + 1), 0.25f * std::cos(phase + 1)},
      {w, h, 1, 1, 0xFFFF4040, 1 + 0.25f * std::sin(phase + 2), 1 + 0.25f * std::cos(phase + 2)},
      {0, h, 1, 1, 0xFFFF4040, 0.25f * std::sin(phase + 3), 1 + 0.25f * std::cos(phase + 3)}};
  device->SetTexture(0, rock.texture);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenTexFormat, backdrop, 4, D3DDP_DONOTLIGHT);

  device->SetTexture(0, font.texture);
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  QuadVertex glyph[4] = {{-0.1f, 0.1f, 0, 0xFFFFFFFF, 0, 0},
                         {0.1f, 0.1f, 0, 0xFFFFFFFF, 0, 0},
                         {0.1f, -0.1f, 0, 0xFFFFFFFF, 0, 0},
                         {-0.1f, -0.1f, 0, 0xFFFFFFFF, 0, 0}};
  D3DMATRIX world = Identity();
  for (int i = 0; i < Glyphs; ++i) {
    int code = 33 + (i + frame) % 94;
    float left = (code % 16) / 16.0f, top = (code / 16) / 16.0f;
    glyph[0].tu = glyph[3].tu = left;
    glyph[1].tu = glyph[2].tu = left + 0.0625f;
    glyph[0].tv = glyph[1].tv = top;
    glyph[2].tv = glyph[3].tv = top + 0.0625f;
    // Ten lines of 25 letters at the depth of the bullet pages.
    world._41 = -2.6f + 0.21f * (i % 25);
    world._42 = 1.8f - 0.38f * (i / 25);
    world._43 = 3.0f;
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    device->DrawPrimitive(D3DPT_TRIANGLEFAN, QuadFormat, glyph, 4, D3DDP_DONOTLIGHT);
  }
  device->EndScene();
  display.primary->Flip(nullptr, DDFLIP_WAIT | DDFLIP_NOVSYNC);
}

double ProcessSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Processor seconds another process has used so far (0 when unknown).
double OtherProcessSeconds(const std::string& pid) {
  if (pid.empty()) return 0;
  std::ifstream stat("/proc/" + pid + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  size_t end = line.rfind(')');
  if (end == std::string::npos) return 0;
  std::istringstream fields(line.substr(end + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);
  return ticks / (double)sysconf(_SC_CLK_TCK);
}

int Measure(DWORD width, DWORD height, DWORD bpp, double seconds, const std::string& serverPid) {
  PortDisplay display;
  if (display.Open(width, height, bpp, IID_IDirect3DRGBDevice) != DD_OK) {
    std::printf("%ux%u: set-up failed\n", width, height);
    return 1;
  }
  display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, bpp <= 16);
  display.device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  display.device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  SetCamera(display.device);

  std::mt19937 random(7);
  std::vector<uint16_t> rockTexels(128 * 128), fontTexels(256 * 256);
  for (uint16_t& t : rockTexels) t = (uint16_t)random();
  // Glyph-like cells: a blocky letter of full alpha in the middle of each cell.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      int cx = x % 16, cy = y % 16;
      bool ink = cx >= 4 && cx < 12 && cy >= 3 && cy < 13 && ((cx + cy) % 3 != 0);
      fontTexels[y * 256 + x] = ink ? 0xFFFF : 0x0FFF;
    }
  TestTexture rock, font;
  if (!display.MakeTexture(&rock, Format565(), 128, 128, rockTexels) ||
      !display.MakeTexture(&font, Format4444(), 256, 256, fontTexels)) {
    std::printf("%ux%u: textures failed\n", width, height);
    return 1;
  }
  const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  for (int frame = 0; frame < 20; ++frame) DrawFrame(display, rock, font, frame);  // warm up
  using Clock = std::chrono::steady_clock;
  auto start = Clock::now();
  double processStart = ProcessSeconds(), serverStart = OtherProcessSeconds(serverPid);
  int frames = 0;
  double elapsed = 0;
  while (elapsed < seconds) {
    DrawFrame(display, rock, font, frames++);
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  double process = ProcessSeconds() - processStart, server = OtherProcessSeconds(serverPid) - serverStart;
  std::printf(
      "%4ux%-4u %2u bpp: %6.1f frames/s, %6.2f ms a frame; processor time a frame %.2f ms here + %.2f ms "
      "in the X server (%d frames, %s)\n",
      width, height, bpp, frames / elapsed, 1000.0 * elapsed / frames, 1000.0 * process / frames,
      1000.0 * server / frames, frames, renderer ? renderer : "?");
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s width height bpp [seconds] [x-server-pid]\n", argv[0]);
    return 2;
  }
  DWORD width = (DWORD)std::atoi(argv[1]), height = (DWORD)std::atoi(argv[2]), bpp = (DWORD)std::atoi(argv[3]);
  double seconds = argc > 4 ? std::atof(argv[4]) : 5.0;
  if (seconds <= 0) seconds = 5.0;
  int result = Measure(width, height, bpp, seconds, argc > 5 ? argv[5] : "");
  PortExit();
  return result;
}
