// Purple rock: stones with cracks between them, lit from the upper left. The
// backdrop shows it with texture coordinates outside 0..1 and wrap addressing,
// so every ingredient repeats exactly across the picture's edges.
#include "raster.h"

namespace {

const int size = 128;

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float HashUnit(uint32_t x, uint32_t y, uint32_t seed) { return (Hash(x, y, seed) >> 8) / 16777216.0f; }

int Wrap(int i, int period) { return ((i % period) + period) % period; }

// Gradient noise on a lattice of period × period cells over the unit square.
float PeriodicNoise(float u, float v, int period, uint32_t seed) {
  const float x = u * period, y = v * period;
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const float fx = x - ix, fy = y - iy;
  auto corner = [&](int cx, int cy) {
    const float angle = HashUnit(Wrap(ix + cx, period), Wrap(iy + cy, period), seed) * 6.2831853f;
    return std::cos(angle) * (fx - cx) + std::sin(angle) * (fy - cy);
  };
  auto fade = [](float t) { return t * t * t * (t * (t * 6 - 15) + 10); };
  const float sx = fade(fx), sy = fade(fy);
  return Mix(Mix(corner(0, 0), corner(1, 0), sx), Mix(corner(0, 1), corner(1, 1), sx), sy);
}

float Fbm(float u, float v, int period, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 0.5f;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * PeriodicNoise(u, v, period << o, seed + o);
    amplitude *= 0.5f;
  }
  return sum;
}

// Nearest and second-nearest distances to one random point per cell of a
// period × period grid, wrapping round the edges; also the nearest cell's id.
void Cells(float u, float v, int period, uint32_t seed, float& f1, float& f2, uint32_t& id) {
  const float x = u * period, y = v * period;
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  f1 = f2 = 1e9f;
  id = 0;
  for (int cy = -2; cy <= 2; ++cy) {
    for (int cx = -2; cx <= 2; ++cx) {
      const int wx = Wrap(ix + cx, period), wy = Wrap(iy + cy, period);
      const float px = ix + cx + HashUnit(wx, wy, seed);
      const float py = iy + cy + HashUnit(wx, wy, seed + 101);
      const float d = std::hypot(px - x, py - y);
      if (d < f1) {
        f2 = f1;
        f1 = d;
        id = Hash(wx, wy, seed + 7);
      } else if (d < f2) {
        f2 = d;
      }
    }
  }
}

}  // namespace

ColourImage MakeRock() {
  std::vector<float> height(size * size);
  std::vector<float> tone(size * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
      // Rough stone: layered noise, a few broad facets, and thin cracks that
      // wander because their lookup is pushed about by more noise.
      const float rough = Fbm(u, v, 4, 5, 41);
      const float wu = u + 0.06f * Fbm(u, v, 4, 3, 11);
      const float wv = v + 0.06f * Fbm(u, v, 4, 3, 23);
      float f1, f2;
      uint32_t id;
      Cells(wu, wv, 4, 3, f1, f2, id);
      const float facet = (id >> 8) / 16777216.0f - 0.5f;
      const float crack = 1.0f - SmoothStep(0.0f, 0.07f, f2 - f1);
      const float vein = SmoothStep(0.9f, 1.0f, 1.0f - std::fabs(PeriodicNoise(wu, wv, 3, 77)));
      height[y * size + x] = rough + 0.15f * facet - 0.25f * crack - 0.12f * vein;
      tone[y * size + x] = 0.5f + 0.9f * rough + 0.25f * facet - 0.35f * crack + 0.3f * Fbm(u, v, 2, 2, 97);
    }
  }

  const Rgb deep{0.10f, 0.04f, 0.15f}, mid{0.42f, 0.22f, 0.52f}, light{0.76f, 0.58f, 0.84f};
  ColourImage out{size, size, {}};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      auto h = [&](int hx, int hy) { return height[Wrap(hy, size) * size + Wrap(hx, size)]; };
      // Light from the upper left: slopes facing it brighten.
      const float slope = (h(x - 1, y) - h(x + 1, y)) + (h(x, y - 1) - h(x, y + 1));
      const float lit = Clamp01(0.6f + 3.0f * slope);
      const float t = Clamp01(tone[y * size + x]);
      const Rgb base = t < 0.5f ? Mix(deep, mid, t * 2.0f) : Mix(mid, light, t * 2.0f - 1.0f);
      out.pixels.push_back(ToPixel(Scale(base, 0.45f + 0.8f * lit)));
    }
  }
  return out;
}

ColourImage MakeRockBlobMask() {
  ColourImage out{size, size, {}};
  const float radius = 60.0f;
  // Mostly frontal light, a little from the upper left.
  const float lx = -0.25f, ly = 0.3f, lz = 1.0f;
  const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float dx = (x + 0.5f - size * 0.5f) / radius;
      const float dy = (size * 0.5f - y - 0.5f) / radius;
      const float r = std::sqrt(dx * dx + dy * dy);
      float v = 0.0f;
      if (r < 1.0f) {
        const float nz = std::sqrt(1.0f - r * r);
        const float lit = Clamp01((dx * lx + dy * ly + nz * lz) / ll);
        const float edge = SmoothStep(1.0f, 0.88f, r);
        v = edge * (0.3f + 0.7f * lit);
      }
      out.pixels.push_back(ToByte(v) * 0x010101u);
    }
  }
  return out;
}
