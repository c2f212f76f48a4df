// The opening: the warning sign, the pulsing bulb with its label, the zoom.
#include <cmath>

#include "gfx/gfx.h"
#include "show/scenes.h"

static const char* const BulbLabel = "ZedadAzi2";
static const D3DCOLOR Black = 0xFF000000;
static const D3DCOLOR Red = 0xFFFF0000;

void PlaySignFade() {
  DWORD t = PhaseTime();
  D3DCOLOR colour;
  if (t <= 999)
    colour = Grey(LowByte(t * 0.255));
  else if (t <= 4000)
    colour = 0xFFFFFFFF;
  else if (t <= 5000)
    colour = Grey(LowByte((5000 - t) * 0.255));
  else
    colour = 0x00000000;
  FillScreen(Black, Black, Black, Black);
  DrawSign(0.0f, 0.0f, 3.0f, colour, 0.0f);
  if (t > 5000) AdvancePhase();
}

// The bulb, its glow and the label at one depth, before the two rock blobs.
static void DrawTitle(float a, float depth, D3DCOLOR colour) {
  FillScreen(Black, Black, Black, Black);
  DrawRockBlob(-0.2f, 0.0f, 2.0f, colour, a);
  DrawRockBlob(0.2f, 0.0f, 2.0f, colour, a * 0.5f);
  DrawBulb(0.0f, 0.0f, depth, colour, -a);
  DrawGlow(0.0f, 0.0f, depth, colour, -a);
  DrawRotatedString(BulbLabel, -0.35f, 0.15f, depth, 0.0f, 0.0f, 0.0f, Black);
}

void PlayBulbTitle() {
  float a = PhaseTime() * 0.001f;
  float pulse = (float)(127.0 * std::sin(a + 4.712389) + 127.0);
  DrawTitle(a, 1.5f, Red + LowByte(pulse) * 0x101u);
  // Two whole turns: the pulse is back at pure red, where the zoom takes over.
  if (a > 12.566371) AdvancePhase();
}

void PlayBulbZoom() {
  ShowDirector& s = showDirector;
  s.titleDepth += FrameTime() * -0.001f;
  DrawTitle(PhaseTime() * 0.001f, s.titleDepth, Red);
  if (s.titleDepth < 0.01) AdvancePhase();
}
