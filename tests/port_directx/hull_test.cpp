// A textured quad cut down to its texture's visible texels, and only those.
#include <gtest/gtest.h>

#include <cstring>

#include "directx/directx_internal.h"

namespace {
struct Vertex {
  float x, y, z;
  D3DCOLOR colour;
  float u, v;
};
const DWORD QuadFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const Vertex square[4] = {{-1, 1, 2, 0xFFFFFFFF, 0, 0},
                          {1, 1, 2, 0xFFFFFFFF, 1, 0},
                          {1, -1, 2, 0xFFFFFFFF, 1, 1},
                          {-1, -1, 2, 0xFFFFFFFF, 0, 1}};

// A 16x16 texture, in 4444 transparent white or in 565 black, but for the
// texels listed, which are opaque white.
TextureHull HullOf(std::vector<std::pair<int, int>> visible, bool withAlpha = true) {
  std::vector<uint16_t> texels(256, withAlpha ? 0x0FFF : 0);
  for (auto [i, j] : visible) texels[j * 16 + i] = 0xFFFF;
  TextureHull hull;
  FindTextureHull(textureFormats[withAlpha ? 3 : 0], 16, 16, 32, reinterpret_cast<const uint8_t*>(texels.data()),
                  &hull);
  return hull;
}

// Whether (u, v) lies within the convex fan, wound clockwise as the quad is.
bool Inside(const std::vector<Vertex>& fan, float u, float v) {
  for (size_t k = 0; k < fan.size(); ++k) {
    const Vertex &a = fan[k], &b = fan[(k + 1) % fan.size()];
    if ((b.u - a.u) * (v - a.v) - (b.v - a.v) * (u - a.u) < 0) return false;
  }
  return true;
}

bool Trim(const TextureHull& hull, const Vertex* quad, std::vector<Vertex>* fan) {
  std::vector<uint8_t> bytes;
  DWORD count = 0;
  bool cut = TrimToTextureHull(hull, D3DPT_TRIANGLEFAN, LayoutOf(QuadFormat), reinterpret_cast<const uint8_t*>(quad), 4,
                               &bytes, &count);
  fan->resize(count);
  std::memcpy(fan->data(), bytes.data(), bytes.size());
  return cut;
}
}  // namespace

TEST(TextureHull, AQuadLosesOnlyWhatNoSampleOfAVisibleTexelReaches) {
  std::vector<Vertex> fan;
  // Without alpha, what shows is what is not black.
  ASSERT_TRUE(Trim(HullOf({{7, 7}, {8, 8}}, false), square, &fan));
  EXPECT_FALSE(Inside(fan, 0.1f, 0.1f));
  ASSERT_TRUE(Trim(HullOf({{7, 7}, {8, 8}}), square, &fan));
  // Bilinear samples reach texel i from i - 0.5 to i + 1.5 texels across.
  for (int texel : {7, 8})
    for (float u : {texel - 0.5f, texel + 1.5f})
      for (float v : {texel - 0.5f, texel + 1.5f}) EXPECT_TRUE(Inside(fan, u / 16, v / 16)) << u << "," << v;
  EXPECT_FALSE(Inside(fan, 0.1f, 0.1f));
  // Every corner keeps the quad's colour, and its place on the quad's plane.
  for (const Vertex& c : fan) {
    EXPECT_EQ(c.colour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(c.x, c.u * 2 - 1);
    EXPECT_FLOAT_EQ(c.y, 1 - c.v * 2);
  }
  // Nothing visible leaves nothing to draw.
  ASSERT_TRUE(Trim(HullOf({}), square, &fan));
  EXPECT_TRUE(fan.empty());
}

TEST(TextureHull, QuadsItCannotCutExactlyAreDrawnWhole) {
  // Each case's visible texels and the quad's third corner.
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> visible;
    Vertex third;
  } cases[] = {
      {"a visible texel on the border", {{0, 8}}, square[2]},
      {"coordinates beyond the texture", {{8, 8}}, {1, -1, 2, 0xFFFFFFFF, 1.5f, 1}},
      {"corners of different colours", {{8, 8}}, {1, -1, 2, 0xFF000000, 1, 1}},
      {"coordinates that do not run evenly", {{8, 8}}, {1, -1, 2, 0xFFFFFFFF, 0.5f, 1}},
  };
  for (const Case& c : cases) {
    Vertex quad[4] = {square[0], square[1], c.third, square[3]};
    std::vector<Vertex> fan;
    EXPECT_FALSE(Trim(HullOf(c.visible), quad, &fan)) << c.what;
  }
}
