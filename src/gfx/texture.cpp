// Decoded pictures packed into 16-bit managed textures in whatever 16-bit
// layout the device offers first, so the driver keeps its own copy and nothing
// needs reloading while the device lives.
#include <cstring>

#include "gfx/gfx.h"

namespace {

const DWORD PaletteOrCompressed = DDPF_PALETTEINDEXED1 | DDPF_PALETTEINDEXED2 | DDPF_PALETTEINDEXED4 |
                                  DDPF_PALETTEINDEXED8 | DDPF_PALETTEINDEXEDTO8 | DDPF_COMPRESSED;
const DWORD TextureFormatSize = 32;

int CountBits(DWORD mask) {
  int bits = 0;
  for (; mask; mask &= mask - 1) ++bits;
  return bits;
}

int LowestBit(DWORD mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

struct FormatSearch {
  bool withAlpha;
  DDPIXELFORMAT* found;
};

// A 1-bit alpha (1555) only cuts out; the glyph edges and the bulb's glass need
// at least 4 bits (4444).
bool FormatFits(const DDPIXELFORMAT& format, bool withAlpha) {
  if (!(format.dwFlags & DDPF_RGB) || (format.dwFlags & PaletteOrCompressed) || format.dwRGBBitCount != 16)
    return false;
  if (!withAlpha) return !(format.dwFlags & DDPF_ALPHAPIXELS);
  return (format.dwFlags & DDPF_ALPHAPIXELS) && CountBits(format.dwRGBAlphaBitMask) >= 4;
}

HRESULT CALLBACK TakeFirstFittingFormat(DDPIXELFORMAT* format, void* context) {
  FormatSearch* search = (FormatSearch*)context;
  if (!FormatFits(*format, search->withAlpha)) return D3DENUMRET_OK;
  std::memcpy(search->found, format, TextureFormatSize);
  return D3DENUMRET_CANCEL;
}

int ChooseTextureFormat(bool withAlpha, DDPIXELFORMAT* format) {
  std::memset(format, 0, sizeof(*format));
  FormatSearch search = {withAlpha, format};
  if (FAILED(renderDevice.device->EnumTextureFormats(TakeFirstFittingFormat, &search))) return 0;
  return format->dwSize != 0;
}

// Where an 8-bit channel value lands in a texel: its top bits are kept.
struct Channel {
  int shift;
  int reduction;  // how far the channel's bits sit above the mask's width
};

Channel ChannelOf(DWORD mask, int channelTopBit) { return {LowestBit(mask), channelTopBit - CountBits(mask)}; }

// value holds one 8-bit channel at its place in 0x00RRGGBB (or the alpha's
// blue byte); returns its bits moved into the texel's mask.
DWORD Pack(DWORD value, Channel channel) {
  // Only nonsense formats (wider than 8 bits per channel) shift the other way.
  const DWORD reduced = channel.reduction >= 0 ? value >> channel.reduction : value << -channel.reduction;
  return reduced << channel.shift;
}

enum TexelSource { ColourOnly, WhiteWithIntensityAlpha, ColourWithAlphaImage };

int BuildTexture(TextureSlot* slot, const PixelImage& colour, const PixelImage* alpha, TexelSource source) {
  DDPIXELFORMAT format;
  if (!ChooseTextureFormat(source != ColourOnly, &format)) return 0;

  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
  desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  desc.dwWidth = colour.width;
  desc.dwHeight = colour.height;
  desc.ddpfPixelFormat = format;
  desc.dwTextureStage = 0;
  if (renderDevice.directDraw->CreateSurface(&desc, &slot->surface, nullptr) != DD_OK) {
    ReleaseInterface(slot->surface);
    return 0;
  }

  const Channel red = ChannelOf(format.dwRBitMask, 24);
  const Channel green = ChannelOf(format.dwGBitMask, 16);
  const Channel blue = ChannelOf(format.dwBBitMask, 8);
  const Channel alphaChannel = ChannelOf(format.dwRGBAlphaBitMask, 8);
  const DWORD white = Pack(0xFF0000, red) | Pack(0xFF00, green) | Pack(0xFF, blue);

  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof(locked));
  locked.dwSize = sizeof locked;
  if (FAILED(slot->surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) {
    ReleaseInterface(slot->surface);
    return 0;
  }
  if (!locked.lpSurface) {  // a lock that gives nothing to write into
    slot->surface->Unlock(nullptr);
    ReleaseInterface(slot->surface);
    return 0;
  }
  WORD* texels = (WORD*)locked.lpSurface;
  const ptrdiff_t rowWords = locked.lPitch / 2;
  for (DWORD y = 0; y < colour.height; ++y) {
    for (DWORD x = 0; x < colour.width; ++x) {
      const DWORD p = colour.pixels[(size_t)y * colour.width + x];
      DWORD texel;
      if (source == WhiteWithIntensityAlpha) {
        texel = white | Pack(p & 0xFF, alphaChannel);
      } else {
        texel = Pack(p & 0xFF0000, red) | Pack(p & 0xFF00, green) | Pack(p & 0xFF, blue);
        if (source == ColourWithAlphaImage)
          texel |= Pack(alpha->pixels[(size_t)y * colour.width + x] & 0xFF, alphaChannel);
      }
      texels[rowWords * (ptrdiff_t)y + (ptrdiff_t)x] = (WORD)texel;
    }
  }
  slot->surface->Unlock(nullptr);

  if (FAILED(slot->surface->QueryInterface(IID_IDirect3DTexture2, (void**)&slot->texture))) {
    slot->texture = nullptr;
    ReleaseInterface(slot->surface);
    return 0;
  }
  return 1;
}

bool DeviceReady(const TextureSlot* slot) { return renderDevice.directDraw && renderDevice.device && slot; }

}  // namespace

int CreateTexture(TextureSlot* slot, int bitmapId, int build) {
  if (!DeviceReady(slot)) return 0;
  PixelImage image;
  if (!DecodeBitmapResource(bitmapId, &image)) return 0;
  return BuildTexture(slot, image, nullptr, build == IntensityAlpha ? WhiteWithIntensityAlpha : ColourOnly);
}

int CreateAlphaTexture(TextureSlot* slot, int colourBitmapId, int alphaBitmapId) {
  if (!DeviceReady(slot)) return 0;
  PixelImage colour;
  PixelImage alpha;
  if (!DecodeBitmapResource(colourBitmapId, &colour)) return 0;
  if (!DecodeBitmapResource(alphaBitmapId, &alpha)) return 0;
  if (colour.width != alpha.width || colour.height != alpha.height) return 0;
  return BuildTexture(slot, colour, &alpha, ColourWithAlphaImage);
}

void ReleaseTexture(TextureSlot* slot) {
  if (!slot) return;
  ReleaseInterface(slot->texture);
  ReleaseInterface(slot->surface);
}

void BindTexture(const TextureSlot* slot) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  device->SetTexture(0, slot ? slot->texture : nullptr);
}
