// Drawing helpers shared by the picture makers: a supersampled canvas that is
// painted shape by shape in the picture's own units, and a little colour maths.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "pictures.h"

struct Rgb {
  float r, g, b;
};

inline float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline float Mix(float a, float b, float t) { return a + (b - a) * t; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return {Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t)}; }
inline Rgb Scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }
inline float SmoothStep(float e0, float e1, float x) {
  const float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}
inline uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)); }
inline uint32_t ToPixel(Rgb c) { return ToByte(c.r) << 16 | ToByte(c.g) << 8 | ToByte(c.b); }
inline Rgb FromPixel(uint32_t p) {
  return {((p >> 16) & 0xFF) / 255.0f, ((p >> 8) & 0xFF) / 255.0f, (p & 0xFF) / 255.0f};
}

// width × height pixels, each split into samples × samples sub-pixels. The
// picture spans x from left to right and y from top to bottom in its own units
// (top > bottom for y up), so shapes are written in the proportions they will
// have on screen, whatever the texture's stretch.
struct Canvas {
  int width = 0, height = 0, samples = 1;
  float left = 0, top = 0, right = 1, bottom = 1;
  std::vector<Rgb> colour;   // per sub-pixel
  std::vector<float> cover;  // per sub-pixel, 0 to 1
  int SubWidth() const { return width * samples; }
  int SubHeight() const { return height * samples; }
  float SubX(int sx) const { return left + (sx + 0.5f) / SubWidth() * (right - left); }
  float SubY(int sy) const { return top + (sy + 0.5f) / SubHeight() * (bottom - top); }
};

Canvas MakeCanvas(int width, int height, int samples, float left, float top, float right, float bottom);

// Lays colour over the canvas: opacity(x, y) in 0..1 says how much, shade(x, y)
// what colour. Later paint covers earlier paint.
template <class Opacity, class Shade>
void Paint(Canvas& canvas, Opacity opacity, Shade shade) {
  for (int sy = 0; sy < canvas.SubHeight(); ++sy) {
    const float y = canvas.SubY(sy);
    for (int sx = 0; sx < canvas.SubWidth(); ++sx) {
      const float x = canvas.SubX(sx);
      const float a = Clamp01(static_cast<float>(opacity(x, y)));
      if (a <= 0.0f) continue;
      const size_t i = static_cast<size_t>(sy) * canvas.SubWidth() + sx;
      canvas.colour[i] = Mix(canvas.colour[i], shade(x, y), a);
      canvas.cover[i] += (1.0f - canvas.cover[i]) * a;
    }
  }
}

// As Paint, with the opacity given per sub-pixel (rendered text).
template <class Shade>
void PaintMask(Canvas& canvas, const std::vector<float>& mask, Shade shade) {
  for (int sy = 0; sy < canvas.SubHeight(); ++sy) {
    for (int sx = 0; sx < canvas.SubWidth(); ++sx) {
      const size_t i = static_cast<size_t>(sy) * canvas.SubWidth() + sx;
      if (mask[i] <= 0.0f) continue;
      canvas.colour[i] = Mix(canvas.colour[i], shade(canvas.SubX(sx), canvas.SubY(sy)), mask[i]);
      canvas.cover[i] += (1.0f - canvas.cover[i]) * mask[i];
    }
  }
}

// The picture as it would show over black: uncovered parts are black.
ColourImage ResolveOverBlack(const Canvas& canvas);
// The colour of the covered parts alone, for a picture that gets its own
// alpha; uncovered pixels take the colour of their nearest covered neighbours
// for a few pixels, so texture filtering at the cut-out's edge pulls in no black.
ColourImage ResolveStraight(const Canvas& canvas, int bleedPixels);
GreyImage ResolveCover(const Canvas& canvas);

// Signed distance to a rounded box centred at (cx, cy) (negative inside).
float RoundBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float radius);
// Signed distance to a segment of the given half thickness.
float SegmentDistance(float x, float y, float ax, float ay, float bx, float by, float halfThickness);
// Smooth minimum of two distances: joins shapes with a fillet of size k.
float SmoothUnion(float a, float b, float k);
// Opacity from a signed distance, with an edge soft over `soft` units.
inline float Inside(float distance, float soft) { return Clamp01(0.5f - distance / soft); }
