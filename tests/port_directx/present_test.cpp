// What Flip shows and leaves behind: the picture letterboxed in the window,
// 16-bit dithering; and what the display reports about itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "port_directx/port_display.h"

namespace {
void FillAndPresent(PortDisplay& display, D3DCOLOR colour, Picture* picture = nullptr) {
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(colour);
  display.device->EndScene();
  Picture shown = display.Present();
  if (picture) *picture = shown;
}

TEST(PortPresent, APictureOfAnotherAspectIsLetterboxedInTheWindow) {
  for (DWORD bpp : {32u, 16u}) {
    SCOPED_TRACE(bpp);
    PortDisplay display;
    ASSERT_EQ(display.Open(640, 480, bpp, IID_IDirect3DHALDevice, 800, 400), DD_OK);
    FillAndPresent(display, 0xFFFF0000);
    Picture window = GrabWindow(display.window);
    ASSERT_EQ(window.width, 800);
    ASSERT_EQ(window.height, 400);
    // 640x480 scaled to 400 rows is 533 columns wide, centred from column 133.
    for (int y : {0, 200, 399}) {
      EXPECT_EQ(window.At(0, y), (Rgb{0, 0, 0}));
      EXPECT_EQ(window.At(131, y), (Rgb{0, 0, 0}));
      EXPECT_EQ(window.At(135, y), (Rgb{255, 0, 0}));
      EXPECT_EQ(window.At(400, y), (Rgb{255, 0, 0}));
      EXPECT_EQ(window.At(664, y), (Rgb{255, 0, 0}));
      EXPECT_EQ(window.At(668, y), (Rgb{0, 0, 0}));
      EXPECT_EQ(window.At(799, y), (Rgb{0, 0, 0}));
    }
  }
  EXPECT_EQ(FitPicture(1280, 720, 1024, 768).y, 96);  // a wide picture gets bars above and below
}

TEST(PortPresent, TheWindowShowsThePictureUprightAsPresented) {
  for (DWORD bpp : {32u, 16u}) {
    SCOPED_TRACE(bpp);
    PortDisplay display;
    ASSERT_EQ(display.Open(320, 240, bpp), DD_OK);
    display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
    ASSERT_EQ(display.device->BeginScene(), D3D_OK);
    display.FillScreen(0xFFFF0000, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF);  // red top, blue bottom
    display.device->EndScene();
    Picture picture = display.Present();
    Picture window = GrabWindow(display.window);
    ASSERT_EQ(window.width, 320);
    EXPECT_GT(window.At(160, 2).r, 240);
    EXPECT_GT(window.At(160, 237).b, 240);
    // Dithered pixels and all, the window shows what a capture would hold.
    for (int y = 0; y < 240; y += 13)
      for (int x = 0; x < 320; x += 7) ASSERT_EQ(window.At(x, y), picture.At(x, y)) << x << "," << y;
  }
}

TEST(PortPresent, SixteenBitModesDitherBetweenTheTwoNearestLevels) {
  PortDisplay display;
  ASSERT_EQ(display.Open(64, 64, 16), DD_OK);
  // Red 136 lies between the 5-bit levels 16 (132) and 17 (140).
  display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
  Picture dithered;
  FillAndPresent(display, 0xFF880000, &dithered);
  int low = 0, high = 0, other = 0;
  long sum = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      int r = dithered.At(x, y).r;
      sum += r;
      (r == 132 ? low : r == 140 ? high : other)++;
    }
  EXPECT_EQ(other, 0);
  EXPECT_GT(low, 0);
  EXPECT_GT(high, 0);
  EXPECT_NEAR(sum / 4096.0, 136.0, 1.0);

  display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FALSE);
  Picture plain;
  FillAndPresent(display, 0xFF880000, &plain);
  for (int y = 0; y < 64; y += 7)
    for (int x = 0; x < 64; x += 5) EXPECT_EQ(plain.At(x, y).r, 140);
}

// The window's buffer and the scene's own target may round a blend's last bit
// apart, which at 16 bits can tip a pixel to the next level: never further.
TEST(PortPresent, AFrameDrawnStraightIntoTheWindowLooksAsOneDrawnThroughTheScenesOwnTarget) {
  for (DWORD bpp : {16u, 32u}) {
    SCOPED_TRACE(bpp);
    Picture pictures[2];
    for (int windowHeight : {64, 80}) {  // 80 rows: the picture sits in bars, so it has a target of its own
      PortDisplay display;
      ASSERT_EQ(display.Open(64, 64, bpp, IID_IDirect3DHALDevice, 64, windowHeight), DD_OK);
      display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
      ASSERT_EQ(display.device->BeginScene(), D3D_OK);
      display.FillScreen(0xFF102030, 0xFFF0E0D0, 0xFF80FF00, 0xFF0000FF);
      display.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
      display.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
      display.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
      display.FillScreen(0x80FF0000, 0x20FFFFFF, 0x80000000, 0xC000FF80);
      display.device->EndScene();
      PresentPath straight = bpp == 16 ? PresentPath::StraightRounded : PresentPath::Straight;
      EXPECT_EQ(ChosenPresentPath(), windowHeight == 64 ? straight : PresentPath::SceneTarget);
      pictures[windowHeight == 64 ? 0 : 1] = display.Present();
    }
    ASSERT_EQ(pictures[0].rgba.size(), 64u * 64 * 4);
    ASSERT_EQ(pictures[1].rgba.size(), 64u * 64 * 4);
    int step[3] = {bpp == 16 ? 9 : 1, bpp == 16 ? 5 : 1, bpp == 16 ? 9 : 1};  // one level, 255/31 or 255/63 rounded up
    int same = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        Rgb a = pictures[0].At(x, y), b = pictures[1].At(x, y);
        same += a == b;
        ASSERT_LE(std::abs(a.r - b.r), step[0]) << x << "," << y;
        ASSERT_LE(std::abs(a.g - b.g), step[1]) << x << "," << y;
        ASSERT_LE(std::abs(a.b - b.b), step[2]) << x << "," << y;
      }
    EXPECT_GT(same, 64 * 64 * 3 / 4);
  }
}

// Another program may resize a daemon's window between any two frames. (The
// window's GL buffer itself takes the new size a frame later.)
TEST(PortPresent, ThePathIsChosenAgainWhenTheWindowIsResized) {
  PortDisplay display;
  ASSERT_EQ(display.Open(64, 64, 32), DD_OK);
  for (int windowHeight : {64, 80, 64}) {
    MoveWindow(display.window, 0, 0, 64, windowHeight, FALSE);
    FillAndPresent(display, 0xFF00FF00);
    EXPECT_EQ(ChosenPresentPath(), windowHeight == 64 ? PresentPath::Straight : PresentPath::SceneTarget)
        << windowHeight;
  }
}

TEST(PortPresent, ThirtyTwoBitModesKeepEightBitsAChannel) {
  PortDisplay display;
  ASSERT_EQ(display.Open(64, 64, 32), DD_OK);
  display.device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
  Picture picture;
  FillAndPresent(display, 0xFF885533, &picture);
  EXPECT_EQ(picture.At(10, 10), (Rgb{0x88, 0x55, 0x33}));
  EXPECT_EQ(picture.At(11, 10), (Rgb{0x88, 0x55, 0x33}));
}

TEST(PortDevices, BothTheHardwareAndTheSoftwareDeviceRender) {
  for (const GUID* type : {&IID_IDirect3DHALDevice, &IID_IDirect3DRGBDevice}) {
    PortDisplay display;
    ASSERT_EQ(display.Open(64, 48, 16, *type), DD_OK);
    Picture picture;
    FillAndPresent(display, 0xFF00FF00, &picture);
    EXPECT_EQ(picture.At(32, 24), (Rgb{0, 255, 0}));
  }
}

struct ListedDevice {
  GUID guid;
  bool fromHardwareDescription;
  DWORD renderDepths;
};

TEST(PortDevices, AreListedWithTheirRenderDepthsInTheRightDescription) {
  PortDisplay display;
  ASSERT_EQ(display.Open(64, 48, 16), DD_OK);
  std::vector<ListedDevice> listed;
  display.direct3D->EnumDevices(
      [](GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware, D3DDEVICEDESC* software,
         void* context) -> HRESULT {
        bool fromHardware = hardware->dwFlags != 0;
        const D3DDEVICEDESC* chosen = fromHardware ? hardware : software;
        if (description && name && (chosen->dwFlags & D3DDD_DEVICERENDERBITDEPTH))
          static_cast<std::vector<ListedDevice>*>(context)->push_back(
              {*guid, fromHardware, chosen->dwDeviceRenderBitDepth});
        return D3DENUMRET_OK;
      },
      &listed);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_TRUE(listed[0].guid == IID_IDirect3DHALDevice);
  EXPECT_TRUE(listed[0].fromHardwareDescription);
  EXPECT_TRUE(listed[1].guid == IID_IDirect3DRGBDevice);
  EXPECT_FALSE(listed[1].fromHardwareDescription);
  for (const ListedDevice& device : listed) EXPECT_EQ(device.renderDepths & (DDBD_16 | DDBD_32), DDBD_16 | DDBD_32);
}

TEST(PortDisplayModes, RunFrom640x480UpToTheScreenAt16And32Bits) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IDirectDraw4* directDraw = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectDraw, nullptr, 7, IID_IDirectDraw4, (void**)&directDraw), S_OK);
  ASSERT_EQ(directDraw->Initialize(nullptr), DD_OK);
  std::vector<DDSURFACEDESC2> modes;
  DDSURFACEDESC2 filter;
  std::memset(&filter, 0, sizeof filter);
  filter.dwSize = sizeof(DDSURFACEDESC2);
  filter.dwFlags = DDSD_CAPS;
  filter.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
  directDraw->EnumDisplayModes(0, &filter, &modes, [](DDSURFACEDESC2* mode, void* context) -> HRESULT {
    static_cast<std::vector<DDSURFACEDESC2>*>(context)->push_back(*mode);
    return DDENUMRET_OK;
  });
  directDraw->Release();
  CoUninitialize();
  ASSERT_FALSE(modes.empty());
  bool vga16 = false, vga32 = false, screen = false;
  for (const DDSURFACEDESC2& m : modes) {
    DWORD flags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    EXPECT_EQ(m.dwFlags & flags, flags);
    EXPECT_TRUE(m.ddpfPixelFormat.dwFlags & DDPF_RGB);
    EXPECT_TRUE(m.ddpfPixelFormat.dwRGBBitCount == 16 || m.ddpfPixelFormat.dwRGBBitCount == 32);
    EXPECT_LE(m.dwWidth, 1024u);
    EXPECT_LE(m.dwHeight, 768u);
    if (m.dwWidth == 640 && m.dwHeight == 480) (m.ddpfPixelFormat.dwRGBBitCount == 16 ? vga16 : vga32) = true;
    if (m.dwWidth == 1024 && m.dwHeight == 768) screen = true;
  }
  EXPECT_TRUE(vga16);
  EXPECT_TRUE(vga32);
  EXPECT_TRUE(screen);
  EXPECT_EQ(modes.front().dwWidth, 640u);
}

TEST(PortBoards, ThePrimaryBoardIsReportedOnceWithANullGuid) {
  int boards = 0;
  bool nullGuid = false;
  struct Seen {
    int* boards;
    bool* nullGuid;
  } seen = {&boards, &nullGuid};
  EXPECT_EQ(DirectDrawEnumerateA(
                [](GUID* guid, LPSTR description, LPSTR name, LPVOID context) -> BOOL {
                  auto* s = static_cast<Seen*>(context);
                  ++*s->boards;
                  *s->nullGuid = guid == nullptr && description && *description && name;
                  return TRUE;
                },
                &seen),
            DD_OK);
  EXPECT_EQ(boards, 1);
  EXPECT_TRUE(nullGuid);
}

TEST(PortDirectDraw, TakesTheProgramsStepsOnlyInTheirOrder) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IDirectDraw4* directDraw = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_DirectDraw, nullptr, 7, IID_IDirectDraw4, (void**)&directDraw), S_OK);
  GUID stranger = IID_IDirect3D3;
  EXPECT_EQ(directDraw->Initialize(&stranger), DDERR_INVALIDDIRECTDRAWGUID);
  GUID none = {};
  EXPECT_EQ(directDraw->Initialize(&none), DD_OK);  // the all-zero GUID is the primary board too
  EXPECT_EQ(directDraw->Initialize(nullptr), DDERR_ALREADYINITIALIZED);
  EXPECT_EQ(directDraw->SetDisplayMode(640, 480, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  IDirectDrawSurface4* primary = nullptr;
  EXPECT_EQ(directDraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOCOOPERATIVELEVELSET);
  // Exclusive mode needs a real window.
  EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(directDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  IDirect3D3* direct3D = nullptr;
  ASSERT_EQ(directDraw->QueryInterface(IID_IDirect3D3, (void**)&direct3D), S_OK);
  direct3D->Release();
  EXPECT_EQ(directDraw->Release(), 0u);
  CoUninitialize();
}
}  // namespace
