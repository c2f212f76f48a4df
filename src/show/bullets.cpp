// A slide's bullet page over the wobbling red rock: typed in, held, tumbled away.
#include "gfx/gfx.h"
#include "show/scenes.h"

static const D3DCOLOR Black = 0xFF000000;
static const D3DCOLOR White = 0xFFFFFFFF;
static const D3DCOLOR Red = 0xFFFF0000;
static const float BackdropRates[4] = {0.00314f, 0.00414f, 0.00214f, 0.00384f};
static const float FullTurn = 6.2831855f;
static const float LineLeft = -2.75f;
static const float PageDepth = 3.0f;
static const float LetterFadeRate = 0.255f;  // brightness per ms
static const double LetterDelay = 5.0;       // brightness steps per character

static float LineY(int bullet) { return 1.5f - bullet * 0.4f; }

// The phases keep running across phases and passes, so the rock and the
// tumbling go on where they stopped.
static void StepBackdrop() {
  float* phases = showDirector.backdropPhases;
  DWORD d = FrameTime();
  for (int i = 0; i < 4; ++i) phases[i] += d * BackdropRates[i];
  // Once per frame only: after a very long frame a phase takes a few frames
  // to come back under a turn.
  for (int i = 0; i < 4; ++i)
    if (phases[i] > FullTurn) phases[i] -= FullTurn;
  DrawBackdrop(Red, phases[0], phases[1], phases[2], phases[3]);
}

void PlayBulletTyping() {
  ShowDirector& s = showDirector;
  int slide = s.slideIndex;
  FillScreen(Black, Black, Black, Black);
  StepBackdrop();
  for (int i = 0; i < s.bulletIndex; ++i) DrawString(SlideBullet(slide, i), LineLeft, LineY(i), PageDepth, White);

  const char* text = SlideBullet(slide, s.bulletIndex);
  if (IsEndMarker(text)) {  // nothing (left) to type
    AdvancePhase();
    return;
  }
  float x = LineLeft;
  float y = LineY(s.bulletIndex);
  // Kept wide: the factor is single precision, the product is not, so a lone
  // letter is still a step short of white at exactly 1000 ms.
  double b = PhaseTime() * (double)LetterFadeRate;
  DWORD last = 0;
  for (const char* c = text; *c; ++c) {
    DWORD g = b >= 255.0 ? 255 : b > 0.0 ? (DWORD)b : 0;
    DrawGlyph((unsigned char)*c, x, y, PageDepth, Grey(g));
    x += GlyphStep;
    b -= LetterDelay;
    last = g;
  }
  if (last > 254) {
    s.bulletIndex += 1;
    if (IsEndMarker(SlideBullet(slide, s.bulletIndex)))
      AdvancePhase();
    else
      RestartPhaseClock();
  }
}

void PlayBulletHold() {
  ShowDirector& s = showDirector;
  FillScreen(Black, Black, Black, Black);
  StepBackdrop();
  for (s.bulletIndex = 0; !IsEndMarker(SlideBullet(s.slideIndex, s.bulletIndex)); ++s.bulletIndex)
    DrawString(SlideBullet(s.slideIndex, s.bulletIndex), LineLeft, LineY(s.bulletIndex), PageDepth, White);
  if (PhaseTime() > 4000) AdvancePhase();
}

void PlayBulletSpin() {
  ShowDirector& s = showDirector;
  DWORD t = PhaseTime();
  DWORD v = FadeStep(t);
  FillScreen(Grey(255 - v), Grey(255 - v), Grey(255 - v), Grey(255 - v));  // under the backdrop
  D3DCOLOR objectColour = Red + (255 - v) * 0x101u;
  StepBackdrop();
  const float* p = s.backdropPhases;
  for (s.bulletIndex = 0; !IsEndMarker(SlideBullet(s.slideIndex, s.bulletIndex)); ++s.bulletIndex)
    DrawRotatedString(SlideBullet(s.slideIndex, s.bulletIndex), LineLeft, LineY(s.bulletIndex), PageDepth, p[0], p[1],
                      p[2], White);
  float bulbZ = 24.0f - t * 0.0087272f;
  float spin = t * 0.0062831854f;
  DrawBulb(0.0f, 0.0f, bulbZ, objectColour, spin);
  DrawGlow(0.0f, 0.0f, bulbZ, objectColour, spin);
  if (t > 2750) AdvancePhase();
}
