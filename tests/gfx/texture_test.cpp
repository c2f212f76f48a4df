// Pictures into 16-bit textures: which of the device's formats is taken, the
// texels written bit for bit, and a slot left empty whenever a build fails.
#include "gfx/gfx_fixture.h"

namespace {

const int ColourPicture = 301;
const int AlphaPicture = 302;
const int WidePicture = 303;

class Textures : public GfxTest {
 protected:
  TextureSlot slot = {};

  void SetUp() override {
    GfxTest::SetUp();
    PutBitmapResource(ColourPicture, Rgb24Bitmap(2, 2, {0x123456, 0xFFFFFF, 0x000000, 0x80FF01}));
    PutBitmapResource(AlphaPicture, Rgb24Bitmap(2, 2, {0x000000, 0x808080, 0xFFFFFF, 0x353535}));
    PutBitmapResource(WidePicture, Rgb24Bitmap(3, 2, {0, 0, 0, 0, 0, 0}));
    // Just the objects a build needs, so this test's surfaces are the only ones.
    CreateFakeDirectDraw(IID_IDirectDraw4, (void**)&renderDevice.directDraw);
    renderDevice.directDraw->QueryInterface(IID_IDirect3D3, (void**)&renderDevice.direct3D);
    renderDevice.direct3D->CreateDevice(IID_IDirect3DHALDevice, nullptr, &renderDevice.device, nullptr);
    ClearRecordedCalls();
  }
  void TearDown() override {
    ReleaseTexture(&slot);
    GfxTest::TearDown();
  }

  const FakeTextureSurface& Built() const { return *fakeDirectX.textureSurfaces.back(); }
  std::vector<WORD> Texels() const {
    const FakeTextureSurface& s = Built();
    std::vector<WORD> texels;
    for (DWORD y = 0; y < s.desc.dwHeight; ++y)
      for (DWORD x = 0; x < s.desc.dwWidth; ++x) texels.push_back(s.Texel(x, y));
    return texels;
  }
  void Offer(std::vector<DDPIXELFORMAT> formats) { fakeDirectX.textureFormats = formats; }
  void ExpectSlotEmpty() {
    EXPECT_EQ(nullptr, slot.surface);
    EXPECT_EQ(nullptr, slot.texture);
  }
};

TEST_F(Textures, OpaqueKeepsTheTopBitsOfEachChannelIn565) {
  Offer({FakeFormatR5G6B5()});
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  EXPECT_EQ((std::vector<WORD>{0x11AA, 0xFFFF, 0x0000, 0x87E0}), Texels());
}

TEST_F(Textures, OpaqueIn1555WritesNoAlphaBit) {
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  EXPECT_EQ(0x7C00u, Built().desc.ddpfPixelFormat.dwRBitMask) << "X1R5G5B5 is offered first";
  EXPECT_EQ((std::vector<WORD>{0x08CA, 0x7FFF, 0x0000, 0x43E0}), Texels());
}

TEST_F(Textures, IntensityAlphaIsWhiteWithTheBlueByteAsAlpha) {
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, IntensityAlpha));
  EXPECT_EQ(0xF000u, Built().desc.ddpfPixelFormat.dwRGBAlphaBitMask);
  // Blue bytes 0x56, 0xFF, 0x00, 0x01: blue 0 is fully transparent white,
  // 0xFF fully opaque white.
  EXPECT_EQ((std::vector<WORD>{0x5FFF, 0xFFFF, 0x0FFF, 0x0FFF}), Texels());
}

TEST_F(Textures, AlphaTextureTakesColourFromOnePictureAndAlphaFromTheOther) {
  ASSERT_EQ(1, CreateAlphaTexture(&slot, ColourPicture, AlphaPicture));
  EXPECT_EQ((std::vector<WORD>{0x0135, 0x8FFF, 0xF000, 0x38F0}), Texels());
}

TEST_F(Textures, ChannelPlacesComeFromTheFormatsMasks) {
  Offer({FakeFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 0xF000, 0x0F00, 0x00F0, 0x000F)});
  ASSERT_EQ(1, CreateAlphaTexture(&slot, ColourPicture, AlphaPicture));
  EXPECT_EQ((std::vector<WORD>{0x1350, 0xFFF8, 0x000F, 0x8F03}), Texels());
}

TEST_F(Textures, RowsFollowTheLockedPitchAndLeaveThePaddingAlone) {
  fakeDirectX.pitchPadding = 6;
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  const FakeTextureSurface& s = Built();
  ASSERT_EQ(10, s.pitch);
  EXPECT_EQ((std::vector<WORD>{0x08CA, 0x7FFF, 0x0000, 0x43E0}), Texels());
  for (int row = 0; row < 2; ++row)
    for (int i = 4; i < 10; ++i) EXPECT_EQ(0xCD, s.memory[row * 10 + i]) << row << "," << i;
}

TEST_F(Textures, TheSurfaceIsAManagedTextureOfThePicturesSize) {
  ASSERT_EQ(1, CreateAlphaTexture(&slot, ColourPicture, AlphaPicture));
  const DDSURFACEDESC2& d = Built().desc;
  EXPECT_EQ(sizeof d, d.dwSize);
  EXPECT_EQ(0x101007u, d.dwFlags);
  EXPECT_EQ(0x3000u, d.ddsCaps.dwCaps);
  EXPECT_EQ(0x10u, d.ddsCaps.dwCaps2);
  EXPECT_EQ(2u, d.dwWidth);
  EXPECT_EQ(2u, d.dwHeight);
  EXPECT_EQ(0u, d.dwTextureStage);
  EXPECT_EQ(32u, d.ddpfPixelFormat.dwSize);
  EXPECT_EQ(FakeName(slot.texture), "texture#0");
  EXPECT_EQ((std::vector<std::string>{"device.EnumTextureFormats",
                                      "directDraw.CreateSurface(size,0x101007,0x3000,0x10,null,2x2,stage=0)",
                                      "surface#0.Lock(null,size,0x1,null)", "surface#0.Unlock(null)",
                                      "surface#0.QueryInterface(IDirect3DTexture2)"}),
            DeviceCalls());
}

TEST_F(Textures, AFormatWithOneAlphaBitNeverServesForAlpha) {
  // Offered 1555 before 4444: 4444 is taken.
  Offer({FakeFormatA1R5G5B5(), FakeFormatA4R4G4B4()});
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, IntensityAlpha));
  EXPECT_EQ(0xF000u, Built().desc.ddpfPixelFormat.dwRGBAlphaBitMask);
  ReleaseTexture(&slot);

  // Only 1555: every build that needs alpha fails before making a surface.
  Offer({FakeFormatX1R5G5B5(), FakeFormatA1R5G5B5()});
  ClearRecordedCalls();
  EXPECT_EQ(0, CreateTexture(&slot, ColourPicture, IntensityAlpha));
  EXPECT_EQ(0, CreateAlphaTexture(&slot, ColourPicture, AlphaPicture));
  ExpectSlotEmpty();
  EXPECT_FALSE(CallMade("directDraw.CreateSurface"));
  EXPECT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque)) << "an opaque build still finds X1R5G5B5";
}

TEST_F(Textures, FormatRulesSkipPalettesCompressionAndOtherDepths) {
  DDPIXELFORMAT palette = FakeFormatA4R4G4B4();
  palette.dwFlags |= DDPF_PALETTEINDEXED8;
  DDPIXELFORMAT compressed = FakeFormatA4R4G4B4();
  compressed.dwFlags |= DDPF_COMPRESSED;
  DDPIXELFORMAT deep = FakeFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
  deep.dwRGBBitCount = 32;
  DDPIXELFORMAT wanted = FakeFormat(DDPF_RGB | DDPF_ALPHAPIXELS, 0x0F00, 0x00F0, 0x000F, 0xF000);
  Offer({palette, compressed, deep, FakeFormatA4R4G4B4(), wanted});
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, IntensityAlpha));
  EXPECT_EQ(0u, Built().desc.ddpfPixelFormat.dwFlags & (DDPF_PALETTEINDEXED8 | DDPF_COMPRESSED));
  EXPECT_EQ(16u, Built().desc.ddpfPixelFormat.dwRGBBitCount);
  ReleaseTexture(&slot);

  // The opaque rule passes over formats that carry alpha.
  Offer({FakeFormatA4R4G4B4(), FakeFormatR5G6B5()});
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  EXPECT_EQ(0xF800u, Built().desc.ddpfPixelFormat.dwRBitMask);
}

TEST_F(Textures, FailuresLeaveTheSlotEmptyAndReleaseWhatWasMade) {
  struct Case {
    const char* failing;
    const char* releasedSurface;  // or null when none was made
  };
  const Case cases[] = {
      {"Device.EnumTextureFormats", nullptr},
      {"DirectDraw.CreateTextureSurface", nullptr},
      {"Surface.Lock", "surface#"},
      {"Surface.QueryInterface", "surface#"},
  };
  for (const Case& c : cases) {
    fakeDirectX.failures = {{c.failing, E_FAIL}};
    ClearRecordedCalls();
    EXPECT_EQ(0, CreateTexture(&slot, ColourPicture, Opaque)) << c.failing;
    ExpectSlotEmpty();
    if (c.releasedSurface) {
      EXPECT_TRUE(CallMade(c.releasedSurface)) << c.failing;
    }
  }
  fakeDirectX.failures.clear();
  for (const FakeTextureSurface* s : fakeDirectX.textureSurfaces)
    for (const std::string& live : LiveFakeObjects()) EXPECT_NE(s->name, live);
}

TEST_F(Textures, ACreateSurfaceResultOtherThanOkCountsAsFailure) {
  fakeDirectX.failures = {{"DirectDraw.CreateTextureSurface", S_FALSE}};
  EXPECT_EQ(0, CreateTexture(&slot, ColourPicture, Opaque));
  ExpectSlotEmpty();
}

TEST_F(Textures, PicturesThatDoNotMatchOrDoNotExistBuildNothing) {
  EXPECT_EQ(0, CreateAlphaTexture(&slot, ColourPicture, WidePicture));
  EXPECT_EQ(0, CreateAlphaTexture(&slot, ColourPicture, 9999));
  EXPECT_EQ(0, CreateAlphaTexture(&slot, 9999, AlphaPicture));
  EXPECT_EQ(0, CreateTexture(&slot, 9999, Opaque));
  ExpectSlotEmpty();
  EXPECT_TRUE(fakeDirectX.textureSurfaces.empty());
}

TEST_F(Textures, BuildsNeedTheDeviceAndASlot) {
  EXPECT_EQ(0, CreateTexture(nullptr, ColourPicture, Opaque));
  IDirect3DDevice3* device = renderDevice.device;
  renderDevice.device = nullptr;
  EXPECT_EQ(0, CreateTexture(&slot, ColourPicture, Opaque));
  EXPECT_EQ(0, CreateAlphaTexture(&slot, ColourPicture, AlphaPicture));
  renderDevice.device = device;
  IDirectDraw4* directDraw = renderDevice.directDraw;
  renderDevice.directDraw = nullptr;
  EXPECT_EQ(0, CreateTexture(&slot, ColourPicture, Opaque));
  renderDevice.directDraw = directDraw;
  EXPECT_TRUE(DeviceCalls().empty());
}

TEST_F(Textures, ReleaseLetsGoOfTheTextureThenTheSurfaceAndMayRepeat) {
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  ClearRecordedCalls();
  ReleaseTexture(&slot);
  ReleaseTexture(&slot);
  EXPECT_EQ((std::vector<std::string>{"texture#0.Release", "surface#0.Release"}), DeviceCalls());
  ExpectSlotEmpty();
}

TEST_F(Textures, BindingAnEmptySlotOrNoneBindsNoTexture) {
  ASSERT_EQ(1, CreateTexture(&slot, ColourPicture, Opaque));
  TextureSlot empty = {};
  ClearRecordedCalls();
  BindTexture(&slot);
  BindTexture(&empty);
  BindTexture(nullptr);
  EXPECT_EQ((std::vector<std::string>{"device.SetTexture(0,texture#0)", "device.SetTexture(0,null)",
                                      "device.SetTexture(0,null)"}),
            DeviceCalls());
  IDirect3DDevice3* device = renderDevice.device;
  renderDevice.device = nullptr;
  ClearRecordedCalls();
  BindTexture(&slot);
  renderDevice.device = device;
  EXPECT_TRUE(DeviceCalls().empty());
}

}  // namespace
