// A slide's headline: letters flying in with echoes, words jolting over the
// glow train, letters flying out past the camera before the oncoming bulb.
#include <cmath>
#include <cstring>

#include "gfx/gfx.h"
#include "shell/shell.h"
#include "show/scenes.h"

static const D3DCOLOR Black = 0xFF000000;
static const D3DCOLOR White = 0xFFFFFFFF;
static const D3DCOLOR Red = 0xFFFF0000;
static const float RestingDepth = 2.0f;
static const float DepthRate = 0.0001f;   // per ms and per letter drawn
static const double LetterSpacing = 0.2;  // in depth, between neighbours
static const DWORD WordTime = 600;

static float LineStart(size_t length) { return -(float)length * GlyphStep * 0.5f; }
static float AtMostResting(double z) { return z < RestingDepth ? (float)z : RestingDepth; }

void PlayHeadlineFlyIn() {
  ShowDirector& s = showDirector;
  const char* h = SlideHeadline(s.slideIndex);
  size_t n = std::strlen(h);
  float step = FrameTime() * DepthRate;
  FillScreen(Black, Black, Black, Black);
  // Every layer starts from the same depth; the last layer's growth stays, so
  // a longer headline flies in faster.
  float saved = s.headlineDepth;
  for (int layer = 0; layer <= 5; ++layer) {
    float x = LineStart(n);
    double off = 0.0;
    s.headlineDepth = saved;
    for (size_t k = 0; k < n; ++k) {
      s.headlineDepth += step;
      double depth = s.headlineDepth + off;
      D3DCOLOR colour = White;
      if (layer < 5) colour = depth < 2.0 ? Grey(LowByte((2.0 - depth) * 127.0)) : Black;
      double z = depth + (6 - layer) * 0.2f;
      DrawGlyph((unsigned char)h[k], x, 0.0f, AtMostResting(z), colour);
      x += GlyphStep;
      off -= LetterSpacing;
    }
  }
  if (PhaseTime() > 2750) AdvancePhase();
}

// Red in four steps, 0x00 to 0xC0, running round the corners.
static D3DCOLOR PulseCorner(float t, float phase) {
  DWORD v = LowByte(127.0 * std::sin((double)(t / 200.0f + phase)) + 127.0);
  return Black + ((v >> 6) * 64) * 0x10000u;
}

static void DrawJoltBackground() {
  ShowDirector& s = showDirector;
  float t = (float)PhaseTime();
  FillScreen(PulseCorner(t, 0.0f), PulseCorner(t, 1.5707964f), PulseCorner(t, 3.1415927f), PulseCorner(t, 4.712389f));
  s.trainX += FrameTime() * 0.0007f;
  DrawRockBlob(-0.5f, 0.0f, 0.5f, Red, t / 200.0f);
  DrawRockBlob(0.0f, 0.0f, 0.3f, Red, -t / 200.0f);
  // The glow train, back to front.
  DrawGlow(s.trainX - 0.8f, -0.5f, 1.75f, 0xFF7F7F00, 0.0f);
  DrawGlow(s.trainX - 0.6f, -0.4f, 1.5f, 0xFF9F9F00, 0.0f);
  DrawGlow(s.trainX - 0.4f, -0.3f, 1.25f, 0xFFBFBF00, 0.0f);
  DrawGlow(s.trainX - 0.2f, -0.2f, 1.0f, 0xFFDFDF00, 0.0f);
  DrawGlow(s.trainX, -0.1f, 0.75f, 0xFFFFFF00, 0.0f);
}

void PlayHeadlineJolt() {
  ShowDirector& s = showDirector;
  const char* h = SlideHeadline(s.slideIndex);
  size_t n = std::strlen(h);
  // The first word cycle jolts over plain black; the train waits for the second.
  if (s.joltCycles <= 0)
    FillScreen(Black, Black, Black, Black);
  else
    DrawJoltBackground();

  int colourBits = RandomUpTo(16777215.0f);
  int jz = RandomUpTo(2000.0f);
  int jx = RandomUpTo(500.0f);
  int jy = RandomUpTo(500.0f);
  // Blue full, red and green random, alpha 0: the glyph's own alpha shows it.
  D3DCOLOR joltColour = ((DWORD)colourBits & 0xFFFFFF00u) | 0xFFu;
  float joltZ = jz * 0.001f + 1.0f;
  float offsetX = jx * 0.001f - 0.25f;
  float offsetY = jy * 0.001f - 0.25f;

  int word = 0;
  bool hit = false;
  float x = LineStart(n);
  for (size_t k = 0; k < n; ++k) {
    unsigned char ch = (unsigned char)h[k];
    if (ch == ' ') word += 1;  // a space goes with the word after it
    if (word == s.wordIndex) {
      hit = true;
      float rx = RandomUpTo(100.0f) * 0.001f - 0.05f;
      float ry = RandomUpTo(100.0f) * 0.001f - 0.05f;
      DrawGlyph(ch, x + offsetX + rx, offsetY + ry, joltZ, joltColour);
    } else {
      DrawGlyph(ch, x, 0.0f, RestingDepth, White);
    }
    x += GlyphStep;
  }

  // Words keep their own time, apart from the phase clock.
  if (timeGetTime() - s.wordTimer > WordTime) {
    s.wordIndex += 1;
    s.wordTimer = timeGetTime();
  }

  if (!hit) {  // past the last word: a cycle has ended
    if (s.joltCycles == 0) s.trainX = -1.5f;
    s.joltCycles += 1;
    if (s.trainX > 0.25f)
      AdvancePhase();
    else
      s.wordIndex = 0;
  }
}

void PlayHeadlineFlyOut() {
  ShowDirector& s = showDirector;
  DWORD t = PhaseTime();
  const char* h = SlideHeadline(s.slideIndex);
  size_t n = std::strlen(h);
  DWORD v = FadeStep(t);
  FillScreen(Grey(255 - v), Grey(255 - v), Grey(255 - v), Grey(255 - v));
  D3DCOLOR objectColour = Red + (255 - v) * 0x101u;
  float bulbZ = 24.0f - t * 0.0087272f;
  float spin = t * 0.0062831854f;
  DrawBulb(0.0f, 0.0f, bulbZ, objectColour, spin);
  DrawGlow(0.0f, 0.0f, bulbZ, objectColour, spin);
  float step = FrameTime() * DepthRate;
  float x = LineStart(n);
  double off = 0.0;
  for (size_t k = 0; k < n; ++k) {
    s.headlineDepth -= step;
    double depth = s.headlineDepth + off;
    for (int copy = 0; copy < 4; ++copy)
      DrawGlyph((unsigned char)h[k], x, 0.0f, AtMostResting(depth - copy * 0.5), White);
    x += GlyphStep;
    off += LetterSpacing;
  }
  if (t > 2750) AdvancePhase();
}
