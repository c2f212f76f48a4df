// A blended texture's transparent margins cost a software renderer a whole
// fragment each and change nothing: where every texel a sample can reach has
// alpha 0, source-alpha blending leaves the picture as it was, and where every
// one is black, neither does adding the colour (a texture without alpha, such
// as a glow). So each texture keeps the octagon around what it shows, found
// when it is uploaded, and a quad drawn with it is cut down to that octagon
// before GL sees it. What is left covers the same visible pixels with the same
// texture coordinates. (A letter's quad is not cut to its own glyph: glyphs
// reach the edges of their cells, where a cut's new corners would settle the
// edge's pixels a little differently.)
#include <cmath>
#include <cstring>

#include "directx_internal.h"

namespace {
// The octagon's sides face these directions, in texels (s right, t down).
const float directions[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

struct Corner {
  float position[3];
  float uv[2];
};

// Above 0 outside the side, in texels.
float Side(const TextureHull& hull, int side, const Corner& c) {
  return directions[side][0] * c.uv[0] * hull.width + directions[side][1] * c.uv[1] * hull.height - hull.limit[side];
}

Corner Between(const Corner& a, const Corner& b, float t) {
  Corner c;
  for (int i = 0; i < 3; ++i) c.position[i] = a.position[i] + t * (b.position[i] - a.position[i]);
  for (int i = 0; i < 2; ++i) c.uv[i] = a.uv[i] + t * (b.uv[i] - a.uv[i]);
  return c;
}

// Keeps the part of a convex polygon on the inner side of one of the hull's sides.
int ClipToSide(const TextureHull& hull, int side, const Corner* in, int count, Corner* out) {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    const Corner& a = in[i];
    const Corner& b = in[(i + 1) % count];
    float fa = Side(hull, side, a), fb = Side(hull, side, b);
    if (fa <= 0) out[kept++] = a;
    if ((fa <= 0) != (fb <= 0)) out[kept++] = Between(a, b, fa / (fa - fb));
  }
  return kept;
}

bool Parallelogram(const float* v0, const float* v1, const float* v2, const float* v3, int n) {
  for (int i = 0; i < n; ++i) {
    float scale = 1 + std::fabs(v0[i]) + std::fabs(v1[i]) + std::fabs(v2[i]) + std::fabs(v3[i]);
    if (std::fabs(v0[i] + v2[i] - v1[i] - v3[i]) > 1e-6f * scale) return false;
  }
  return true;
}
}  // namespace

void FindTextureHull(const TextureFormat& format, DWORD width, DWORD height, DWORD pitch, const uint8_t* texels,
                     TextureHull* hull) {
  *hull = TextureHull();
  hull->width = (float)width;
  hull->height = (float)height;
  const DDPIXELFORMAT& f = format.pixelFormat;
  hull->ofColour = !(f.dwFlags & DDPF_ALPHAPIXELS) || !f.dwRGBAlphaBitMask;
  DWORD shows = hull->ofColour ? f.dwRBitMask | f.dwGBitMask | f.dwBBitMask : f.dwRGBAlphaBitMask;
  if (!shows || width < 3 || height < 3) return;
  for (float& limit : hull->limit) limit = -1e30f;
  for (DWORD j = 0; j < height; ++j) {
    for (DWORD i = 0; i < width; ++i) {
      uint32_t value = 0;
      std::memcpy(&value, texels + (size_t)j * pitch + (size_t)i * format.bytesPerTexel, format.bytesPerTexel);
      if (!(value & shows)) continue;
      // A texel on the border reaches round to the far side under wrapping.
      if (i == 0 || j == 0 || i == width - 1 || j == height - 1) return;
      // Bilinear samples reach a texel from up to a texel beyond its centre;
      // a quarter more keeps rounding clear of it.
      for (int side = 0; side < 8; ++side) {
        const float* d = directions[side];
        float reach = d[0] * (i + 0.5f) + d[1] * (j + 0.5f) + 1.25f * (std::fabs(d[0]) + std::fabs(d[1]));
        if (reach > hull->limit[side]) hull->limit[side] = reach;
      }
    }
  }
  hull->usable = true;
}

bool TrimToTextureHull(const TextureHull& hull, D3DPRIMITIVETYPE type, const VertexLayout& layout,
                       const uint8_t* vertices, DWORD count, std::vector<uint8_t>* trimmed, DWORD* trimmedCount) {
  // A flat quad of one colour whose texture coordinates run evenly across it:
  // cutting it as a whole keeps every point's coordinates where they were.
  DWORD plain = 12 + (layout.diffuse >= 0 ? 4 : 0) + 8;
  if (!hull.usable || type != D3DPT_TRIANGLEFAN || count != 4 || layout.preTransformed || layout.texture < 0 ||
      layout.stride != plain)
    return false;
  Corner corners[4];
  for (DWORD k = 0; k < 4; ++k) {
    const uint8_t* v = vertices + (size_t)k * layout.stride;
    float* uv = corners[k].uv;
    std::memcpy(corners[k].position, v, sizeof corners[k].position);
    std::memcpy(uv, v + layout.texture, sizeof corners[k].uv);
    if (!(uv[0] >= 0 && uv[0] <= 1 && uv[1] >= 0 && uv[1] <= 1)) return false;
    if (layout.diffuse >= 0 && std::memcmp(v + layout.diffuse, vertices + layout.diffuse, 4) != 0) return false;
  }
  if (!Parallelogram(corners[0].position, corners[1].position, corners[2].position, corners[3].position, 3) ||
      !Parallelogram(corners[0].uv, corners[1].uv, corners[2].uv, corners[3].uv, 2))
    return false;
  bool inside = true;
  for (int side = 0; side < 8 && inside; ++side)
    for (const Corner& c : corners) inside = inside && Side(hull, side, c) <= 0;
  if (inside) return false;

  Corner polygon[2][12];
  int n = 4;
  std::memcpy(polygon[0], corners, sizeof corners);
  for (int side = 0; side < 8 && n > 0; ++side)
    n = ClipToSide(hull, side, polygon[side % 2], n, polygon[(side + 1) % 2]);
  trimmed->resize((size_t)n * layout.stride);
  for (int k = 0; k < n; ++k) {
    uint8_t* v = trimmed->data() + (size_t)k * layout.stride;
    std::memcpy(v, vertices, layout.stride);  // the colour, which is everywhere the same
    std::memcpy(v, polygon[0][k].position, sizeof polygon[0][k].position);
    std::memcpy(v + layout.texture, polygon[0][k].uv, sizeof polygon[0][k].uv);
  }
  *trimmedCount = (DWORD)n;
  return true;
}
