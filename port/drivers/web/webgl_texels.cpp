// Textures on WebGL 2: its packed 16-bit formats keep alpha in the low bits
// where Direct3D's keep it in the high ones, and it has no BGRA order, so
// every format is handed over as 8 bits a channel, each value widened to its
// nearest, which is what desktop GL keeps of them too. WebGL cannot read a
// texture back.
#include <vector>

#include "directx/directx_internal.h"
#include "directx/gl_api.h"

namespace {
uint8_t Widen(uint32_t texel, DWORD mask) {
  if (!mask) return 255;
  int shift = __builtin_ctz(mask);
  uint32_t largest = mask >> shift;
  uint32_t value = (texel & mask) >> shift;
  return (uint8_t)((value * 255 + largest / 2) / largest);
}
}  // namespace

void UploadTexels(const TextureFormat& format, DWORD width, DWORD height, DWORD pitch, const uint8_t* texels) {
  const DDPIXELFORMAT& f = format.pixelFormat;
  DWORD alphaMask = (f.dwFlags & DDPF_ALPHAPIXELS) ? f.dwRGBAlphaBitMask : 0;
  std::vector<uint8_t> rgba((size_t)width * height * 4);
  uint8_t* out = rgba.data();
  for (DWORD y = 0; y < height; ++y) {
    const uint8_t* row = texels + (size_t)y * pitch;
    for (DWORD x = 0; x < width; ++x, out += 4) {
      const uint8_t* p = row + (size_t)x * format.bytesPerTexel;
      uint32_t texel = 0;
      for (DWORD i = 0; i < format.bytesPerTexel; ++i) texel |= (uint32_t)p[i] << (8 * i);
      out[0] = Widen(texel, f.dwRBitMask);
      out[1] = Widen(texel, f.dwGBitMask);
      out[2] = Widen(texel, f.dwBBitMask);
      out[3] = Widen(texel, alphaMask);
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, (GLsizei)width, (GLsizei)height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

bool ReadBoundTexels(const TextureFormat&, DWORD, DWORD, std::vector<uint8_t>*) { return false; }
