// Textures: the formats offered and the order they come in, texels kept bit
// for bit, the pitch Lock hands out, and the copy that outlives its context.
#include <gtest/gtest.h>

#include <cstring>

#include "port_directx/port_display.h"

namespace {
std::vector<DDPIXELFORMAT> Offered(IDirect3DDevice3* device) {
  std::vector<DDPIXELFORMAT> formats;
  device->EnumTextureFormats(
      [](DDPIXELFORMAT* format, void* context) -> HRESULT {
        static_cast<std::vector<DDPIXELFORMAT>*>(context)->push_back(*format);
        return D3DENUMRET_OK;
      },
      &formats);
  return formats;
}

int Bits(DWORD mask) {
  int n = 0;
  for (; mask; mask &= mask - 1) ++n;
  return n;
}

bool IsSixteenBitRgb(const DDPIXELFORMAT& f) { return (f.dwFlags & DDPF_RGB) && f.dwRGBBitCount == 16; }

class PortTextures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(display.Open(640, 480, 32), DD_OK); }
  PortDisplay display;
};

TEST_F(PortTextures, OneBitAlphaComesBeforeFourBitAlphaAndOpaqueFormatsAreOffered) {
  std::vector<DDPIXELFORMAT> formats = Offered(display.device);
  int firstWithAlpha = -1, firstWithFourAlphaBits = -1, firstOpaque = -1;
  for (int i = 0; i < (int)formats.size(); ++i) {
    const DDPIXELFORMAT& f = formats[i];
    EXPECT_EQ(f.dwSize, sizeof f);
    if (!IsSixteenBitRgb(f)) continue;
    bool alpha = (f.dwFlags & DDPF_ALPHAPIXELS) != 0;
    if (alpha && firstWithAlpha < 0) firstWithAlpha = i;
    if (alpha && Bits(f.dwRGBAlphaBitMask) >= 4 && firstWithFourAlphaBits < 0) firstWithFourAlphaBits = i;
    if (!alpha && firstOpaque < 0) firstOpaque = i;
  }
  ASSERT_GE(firstWithAlpha, 0);
  ASSERT_GE(firstWithFourAlphaBits, 0);
  ASSERT_GE(firstOpaque, 0);
  EXPECT_EQ(Bits(formats[firstWithAlpha].dwRGBAlphaBitMask), 1);
  EXPECT_LT(firstWithAlpha, firstWithFourAlphaBits);
  EXPECT_EQ(formats[firstWithFourAlphaBits].dwRGBAlphaBitMask, 0xF000u);
  // A caller that stops at its first match gets no more formats.
  int calls = 0;
  display.device->EnumTextureFormats(
      [](DDPIXELFORMAT*, void* context) -> HRESULT {
        ++*static_cast<int*>(context);
        return D3DENUMRET_CANCEL;
      },
      &calls);
  EXPECT_EQ(calls, 1);
}

TEST_F(PortTextures, SixteenBitTexelsReachGlBitForBit) {
  // Every 16-bit value once, in a 256 x 256 texture.
  std::vector<uint16_t> every(256 * 256);
  for (size_t i = 0; i < every.size(); ++i) every[i] = (uint16_t)i;
  for (DDPIXELFORMAT format : {Format4444(), Format1555(), Format565()}) {
    SCOPED_TRACE(::testing::Message() << "alpha mask " << std::hex << format.dwRGBAlphaBitMask << " red mask "
                                      << format.dwRBitMask);
    TestTexture texture;
    ASSERT_TRUE(display.MakeTexture(&texture, format, 256, 256, every));
    std::vector<uint8_t> held;
    ASSERT_TRUE(ReadTextureFromGl(PortSurface(texture.surface), &held));
    ASSERT_EQ(held.size(), every.size() * 2);
    EXPECT_EQ(std::memcmp(held.data(), every.data(), held.size()), 0);
  }
}

TEST_F(PortTextures, HalfAlphaIn4444BlendsHalfAndIn1555IsOpaqueOrNothing) {
  TestTexture fourBit, oneBit;
  // Red texels: 4444 with alpha 8 (of 15); 1555 with its alpha bit set, then clear.
  ASSERT_TRUE(display.MakeTexture(&fourBit, Format4444(), 1, 1, {0x8F00}));
  ASSERT_TRUE(display.MakeTexture(&oneBit, Format1555(), 2, 1, {0xFC00, 0x7C00}));
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF000000);
  display.Blend(true);
  display.device->SetTexture(0, fourBit.texture);
  display.DrawScreenQuad(0, 0, 100, 100, 0xFFFFFFFF);
  display.device->SetTexture(0, oneBit.texture);
  display.DrawScreenQuad(200, 0, 400, 100, 0xFFFFFFFF);
  display.device->EndScene();
  Picture picture = display.Present();
  EXPECT_NEAR(picture.At(50, 50).r, 136, 1);  // 0x88 of 0xFF
  EXPECT_EQ(picture.At(250, 50).r, 255);
  EXPECT_EQ(picture.At(350, 50).r, 0);
}

TEST_F(PortTextures, LockHandsOutAPitchThatRowsAreReadWith) {
  const DWORD width = 6, height = 4;
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
  desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddpfPixelFormat = Format565();
  TestTexture texture;
  ASSERT_EQ(display.directDraw->CreateSurface(&desc, &texture.surface, nullptr), DD_OK);

  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof locked);
  locked.dwSize = 124;  // a 32-bit build's size, which is not this build's structure
  EXPECT_EQ(texture.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  locked.dwSize = sizeof(DDSURFACEDESC2);
  ASSERT_EQ(texture.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(locked.dwWidth, width);
  EXPECT_EQ(locked.dwHeight, height);
  EXPECT_GE(locked.lPitch, (LONG)(width * 2));
  EXPECT_EQ(locked.lPitch % 2, 0);
  EXPECT_EQ(locked.ddpfPixelFormat.dwRBitMask, 0xF800u);
  DDSURFACEDESC2 again = locked;
  EXPECT_EQ(texture.surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  // Row y red in steps of 8 (of 31), written the way the program writes: at
  // (pitch / 2) * y + x from the pointer.
  auto* texels = static_cast<uint16_t*>(locked.lpSurface);
  for (DWORD y = 0; y < height; ++y)
    for (DWORD x = 0; x < width; ++x) texels[(locked.lPitch / 2) * y + x] = (uint16_t)((8 * y + 7) << 11);
  ASSERT_EQ(texture.surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(texture.surface->Unlock(nullptr), DDERR_NOTLOCKED);
  ASSERT_EQ(texture.surface->QueryInterface(IID_IDirect3DTexture2, (void**)&texture.texture), DD_OK);

  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF000000);
  display.Blend(false);
  display.device->SetTexture(0, texture.texture);
  display.DrawScreenQuad(0, 0, 60, 40, 0xFFFFFFFF);  // ten pixels per texel
  display.device->EndScene();
  Picture picture = display.Present();
  for (int y = 0; y < (int)height; ++y) {
    int red = ((8 * y + 7) * 255 + 15) / 31;
    for (int x = 0; x < (int)width; ++x) EXPECT_NEAR(picture.At(x * 10 + 5, y * 10 + 5).r, red, 1) << x << "," << y;
  }
}

TEST(PortManagedTextures, KeepTheirTexelsWhenTheContextTheyWereDrawnInIsGone) {
  TestTexture texture;
  auto first = std::make_unique<PortDisplay>();
  ASSERT_EQ(first->Open(320, 240, 32), DD_OK);
  ASSERT_TRUE(first->MakeTexture(&texture, Format565(), 1, 1, {0x07E0}));  // green
  ASSERT_EQ(first->device->BeginScene(), D3D_OK);
  first->Blend(false);
  first->device->SetTexture(0, texture.texture);
  first->DrawScreenQuad(0, 0, 320, 240, 0xFFFFFFFF);
  first->device->SetTexture(0, nullptr);
  first->device->EndScene();
  EXPECT_EQ(first->Present().At(160, 120), (Rgb{0, 255, 0}));
  first.reset();  // its window, and the GL context with it, are destroyed

  PortDisplay second;
  ASSERT_EQ(second.Open(320, 240, 32), DD_OK);
  ASSERT_EQ(second.device->BeginScene(), D3D_OK);
  second.FillScreen(0xFF000000);
  second.Blend(false);
  second.device->SetTexture(0, texture.texture);
  second.DrawScreenQuad(0, 0, 320, 240, 0xFFFFFFFF);
  second.device->SetTexture(0, nullptr);
  second.device->EndScene();
  EXPECT_EQ(second.Present().At(160, 120), (Rgb{0, 255, 0}));
}

TEST_F(PortTextures, AreRefusedInFormatsTheDeviceDoesNotOffer) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  desc.dwWidth = desc.dwHeight = 8;
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
  desc.ddpfPixelFormat.dwRGBBitCount = 8;
  IDirectDrawSurface4* surface = nullptr;
  EXPECT_EQ(display.directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPIXELFORMAT);
  EXPECT_EQ(surface, nullptr);
  desc.dwSize = 100;
  EXPECT_EQ(display.directDraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS);
}
}  // namespace
