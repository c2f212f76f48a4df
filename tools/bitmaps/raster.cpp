#include "raster.h"

Canvas MakeCanvas(int width, int height, int samples, float left, float top, float right, float bottom) {
  Canvas c;
  c.width = width;
  c.height = height;
  c.samples = samples;
  c.left = left;
  c.top = top;
  c.right = right;
  c.bottom = bottom;
  c.colour.assign(static_cast<size_t>(c.SubWidth()) * c.SubHeight(), Rgb{0, 0, 0});
  c.cover.assign(c.colour.size(), 0.0f);
  return c;
}

namespace {

// Sums of premultiplied colour and of cover over each pixel's sub-pixels.
void Accumulate(const Canvas& canvas, int x, int y, Rgb& colour, float& cover) {
  colour = {0, 0, 0};
  cover = 0;
  for (int j = 0; j < canvas.samples; ++j) {
    for (int i = 0; i < canvas.samples; ++i) {
      const size_t s = static_cast<size_t>(y * canvas.samples + j) * canvas.SubWidth() + x * canvas.samples + i;
      const float a = canvas.cover[s];
      colour.r += canvas.colour[s].r * a;
      colour.g += canvas.colour[s].g * a;
      colour.b += canvas.colour[s].b * a;
      cover += a;
    }
  }
}

}  // namespace

ColourImage ResolveOverBlack(const Canvas& canvas) {
  ColourImage out{canvas.width, canvas.height, {}};
  const float n = static_cast<float>(canvas.samples * canvas.samples);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      Rgb c;
      float cover;
      Accumulate(canvas, x, y, c, cover);
      out.pixels.push_back(ToPixel(Scale(c, 1.0f / n)));
    }
  }
  return out;
}

ColourImage ResolveStraight(const Canvas& canvas, int bleedPixels) {
  const int w = canvas.width, h = canvas.height;
  std::vector<Rgb> colour(static_cast<size_t>(w) * h, Rgb{0, 0, 0});
  std::vector<bool> known(colour.size(), false);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb c;
      float cover;
      Accumulate(canvas, x, y, c, cover);
      if (cover > 0.0f) {
        colour[y * w + x] = Scale(c, 1.0f / cover);
        known[y * w + x] = true;
      }
    }
  }
  for (int step = 0; step < bleedPixels; ++step) {
    std::vector<Rgb> next = colour;
    std::vector<bool> nextKnown = known;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (known[y * w + x]) continue;
        Rgb sum{0, 0, 0};
        int count = 0;
        for (int dy = -1; dy <= 1; ++dy) {
          for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[ny * w + nx]) continue;
            sum.r += colour[ny * w + nx].r;
            sum.g += colour[ny * w + nx].g;
            sum.b += colour[ny * w + nx].b;
            ++count;
          }
        }
        if (count > 0) {
          next[y * w + x] = Scale(sum, 1.0f / count);
          nextKnown[y * w + x] = true;
        }
      }
    }
    colour.swap(next);
    known.swap(nextKnown);
  }
  ColourImage out{w, h, {}};
  for (const Rgb& c : colour) out.pixels.push_back(ToPixel(c));
  return out;
}

GreyImage ResolveCover(const Canvas& canvas) {
  GreyImage out{canvas.width, canvas.height, {}};
  const float n = static_cast<float>(canvas.samples * canvas.samples);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      Rgb c;
      float cover;
      Accumulate(canvas, x, y, c, cover);
      out.pixels.push_back(ToByte(cover / n));
    }
  }
  return out;
}

float RoundBoxDistance(float x, float y, float cx, float cy, float halfW, float halfH, float radius) {
  const float qx = std::fabs(x - cx) - halfW + radius;
  const float qy = std::fabs(y - cy) - halfH + radius;
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SegmentDistance(float x, float y, float ax, float ay, float bx, float by, float halfThickness) {
  const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
  const float t = Clamp01((px * dx + py * dy) / (dx * dx + dy * dy));
  return std::hypot(px - dx * t, py - dy * t) - halfThickness;
}

float SmoothUnion(float a, float b, float k) {
  const float h = Clamp01(0.5f + 0.5f * (b - a) / k);
  return Mix(b, a, h) - k * h * (1.0f - h);
}
