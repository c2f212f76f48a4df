// The texture formats the Direct3D device offers, in the order a driver of the
// time listed them: 16-bit formats first (565, 555, 1555, 4444), then 32-bit.
// A caller that takes "the first 16-bit format with enough alpha" so meets a
// 1-bit alpha format before the 4-bit one, as on real boards. GL holds every
// one with 8 bits a channel, each value widened to its nearest: a software
// renderer samples those far faster than packed 16-bit texels, and reading
// them back in the texture's own format gives the very texels a caller wrote.

#include "directx_internal.h"
#include "gl_api.h"

namespace {
DDPIXELFORMAT Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha) {
  DDPIXELFORMAT f = {};
  f.dwSize = sizeof(DDPIXELFORMAT);
  f.dwFlags = DDPF_RGB | (alpha ? DDPF_ALPHAPIXELS : 0);
  f.dwRGBBitCount = bits;
  f.dwRBitMask = red;
  f.dwGBitMask = green;
  f.dwBBitMask = blue;
  f.dwRGBAlphaBitMask = alpha;
  return f;
}
}  // namespace

const TextureFormat textureFormats[] = {
    {Rgb(16, 0xF800, 0x07E0, 0x001F, 0), 2, GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},
    // No alpha in GL drops the unused top bit, so whatever a caller leaves
    // there never turns into transparency.
    {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0), 2, GL_RGB8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {Rgb(16, 0x7C00, 0x03E0, 0x001F, 0x8000), 2, GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},
    {Rgb(16, 0x0F00, 0x00F0, 0x000F, 0xF000), 2, GL_RGBA8, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV},
    {Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0), 4, GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV},
    {Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), 4, GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV},
};
const int textureFormatCount = sizeof(textureFormats) / sizeof(textureFormats[0]);

const TextureFormat* FindTextureFormat(const DDPIXELFORMAT& wanted) {
  const DWORD meaningful = DDPF_RGB | DDPF_ALPHAPIXELS | DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 |
                           DDPF_PALETTEINDEXED4 | DDPF_PALETTEINDEXED8 | DDPF_FOURCC | DDPF_YUV | DDPF_ZBUFFER |
                           DDPF_LUMINANCE | DDPF_BUMPDUDV;
  for (int i = 0; i < textureFormatCount; ++i) {
    const DDPIXELFORMAT& f = textureFormats[i].pixelFormat;
    if ((wanted.dwFlags & meaningful) != f.dwFlags) continue;
    if (wanted.dwRGBBitCount != f.dwRGBBitCount || wanted.dwRBitMask != f.dwRBitMask ||
        wanted.dwGBitMask != f.dwGBitMask || wanted.dwBBitMask != f.dwBBitMask)
      continue;
    if ((f.dwFlags & DDPF_ALPHAPIXELS) && wanted.dwRGBAlphaBitMask != f.dwRGBAlphaBitMask) continue;
    return &textureFormats[i];
  }
  return nullptr;
}
