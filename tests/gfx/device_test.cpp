// Device set-up and teardown: the calls in order, the choices read from the
// settings, and every way set-up can stop half-way with teardown cleaning up.
#include <cstring>

#include "gfx/gfx_fixture.h"
#include "settings/settings.h"

namespace {

class Device : public GfxTest {
 protected:
  void Store(const char* name, DWORD type, std::vector<BYTE> data) {
    std::string lower = name;
    for (char& c : lower) c = (char)std::tolower((unsigned char)c);
    fakeSystem.registry[lower] = {type, data};
  }
  void StoreGuid(const char* name, const GUID& guid) {
    std::vector<BYTE> bytes(16);
    std::memcpy(bytes.data(), &guid, 16);
    Store(name, REG_BINARY, bytes);
  }
  bool Stored(const char* name) { return fakeSystem.registry.count(name) != 0; }
  std::vector<BYTE> StoredBytes(const char* name) { return fakeSystem.registry[name].data; }
};

const std::vector<std::string> textureBuild(int n, const char* size) {
  const std::string s = "surface#" + std::to_string(n);
  return {"device.EnumTextureFormats",
          std::string("directDraw.CreateSurface(size,0x101007,0x3000,0x10,null,") + size + ",stage=0)",
          s + ".Lock(null,size,0x1,null)", s + ".Unlock(null)", s + ".QueryInterface(IDirect3DTexture2)"};
}

TEST_F(Device, SetUpRunsEveryStepInOrder) {
  ASSERT_EQ(1, SetUpRenderDevice());
  std::vector<std::string> expected = {
      "CoCreateInstance(DirectDraw,7)",
      "directDraw.Initialize(null)",
      "directDraw.SetCooperativeLevel(0x11)",
      "directDraw.SetDisplayMode(640,480,16,0,0)",
      "SystemParametersInfoA(97,1)",
      "directDraw.CreateSurface(size,0x21,0x2218,0x0,null,backbuffers=1)",
      "primarySurface.GetAttachedSurface(0x4,0x0,0x0,0x0)",
      "directDraw.QueryInterface(IDirect3D3)",
      "direct3D.CreateDevice(HAL,backBuffer,null)",
      "direct3D.CreateViewport(null)",
      "device.AddViewport(viewport)",
      "viewport.SetViewport2(size,0,0,640,480,-1,1,2,2,0,1)",
      "device.SetCurrentViewport(viewport)",
  };
  // Font, Glow, Bulb, RockBlob, Rock, WarningSign, told apart by picture size.
  const char* sizes[] = {"32x32", "8x8", "4x6", "6x4", "6x4", "2x3"};
  for (int i = 0; i < 6; ++i) {
    auto build = textureBuild(i, sizes[i]);
    expected.insert(expected.end(), build.begin(), build.end());
  }
  const std::vector<std::string> camera = {
      "device.SetTransform(3)",
      "device.SetTransform(2)",
      "device.SetRenderState(14,0)",
      "device.SetTextureStageState(0,16,2)",
      "device.SetTextureStageState(0,17,2)",
      "device.SetRenderState(26,1)",
      "device.SetRenderState(22,1)",
  };
  expected.insert(expected.end(), camera.begin(), camera.end());
  EXPECT_EQ(expected, DeviceCalls());
  EXPECT_EQ(0u, fakeDirectX.transforms.count(D3DTRANSFORMSTATE_WORLD)) << "each primitive sets its own";
}

TEST_F(Device, SetUpFillsTheRecordAndTheTextureTable) {
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_EQ("directDraw", FakeName(renderDevice.directDraw));
  EXPECT_EQ("primarySurface", FakeName(renderDevice.primarySurface));
  EXPECT_EQ("backBuffer", FakeName(renderDevice.backBuffer));
  EXPECT_EQ("direct3D", FakeName(renderDevice.direct3D));
  EXPECT_EQ("device", FakeName(renderDevice.device));
  EXPECT_EQ("viewport", FakeName(renderDevice.viewport));
  for (int i = 0; i < TextureCount; ++i) {
    EXPECT_EQ("surface#" + std::to_string(i), FakeName(renderDevice.textures[i].surface));
    EXPECT_EQ("texture#" + std::to_string(i), FakeName(renderDevice.textures[i].texture));
  }
  // Which build each slot got: the font is white with alpha, glow and rock
  // opaque, the rest coloured with alpha.
  const auto& surfaces = fakeDirectX.textureSurfaces;
  EXPECT_EQ(0x0FFFu, surfaces[Font]->Texel(0, 0) & 0x0FFFu) << "white texel";
  EXPECT_EQ(0u, surfaces[Glow]->desc.ddpfPixelFormat.dwRGBAlphaBitMask);
  EXPECT_EQ(0u, surfaces[Rock]->desc.ddpfPixelFormat.dwRGBAlphaBitMask);
  for (int id : {Font, Bulb, RockBlob, WarningSign})
    EXPECT_EQ(0xF000u, surfaces[id]->desc.ddpfPixelFormat.dwRGBAlphaBitMask) << id;
}

TEST_F(Device, TheCameraIsAFixedPerspectiveWithAnIdentityView) {
  ASSERT_EQ(1, SetUpRenderDevice());
  const D3DMATRIX& p = fakeDirectX.transforms[D3DTRANSFORMSTATE_PROJECTION];
  EXPECT_FLOAT_EQ(1.0f, p._11);
  EXPECT_FLOAT_EQ(1.4966058f, p._22);
  EXPECT_FLOAT_EQ(1.0001f, p._33);
  EXPECT_EQ(1.0f, p._34);
  EXPECT_FLOAT_EQ(-0.010001f, p._43);
  EXPECT_EQ(0.0f, p._44);
  D3DMATRIX identity;
  MakeIdentityMatrix(identity);
  EXPECT_EQ(0, std::memcmp(&identity, &fakeDirectX.transforms[D3DTRANSFORMSTATE_VIEW], sizeof(D3DMATRIX)));
}

TEST_F(Device, WithNothingStoredSetUpUsesAndStoresThePrimaryDriverAndTheHardwareDevice) {
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("directDraw.Initialize(null)"));
  EXPECT_TRUE(CallMade("direct3D.CreateDevice(HAL"));
  EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), StoredBytes("usenullddguid"));
  EXPECT_EQ((std::vector<BYTE>{0xE0, 0x3D, 0xE6, 0x84, 0xAA, 0x46, 0xCF, 0x11, 0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15,
                               0x6E}),
            StoredBytes("deviceguid"));
  EXPECT_FALSE(Stored("ddguid"));
  EXPECT_FALSE(CallMade("RegQueryValueExA(ddguid"));
}

TEST_F(Device, AChosenDriverWithoutAStoredIdentityGetsTheZeroGuidStoredAndPassed) {
  Store("UseNULLddguid", REG_DWORD, {0, 0, 0, 0});
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("directDraw.Initialize(zero)"));
  EXPECT_EQ(std::vector<BYTE>(16, 0), StoredBytes("ddguid"));
  EXPECT_EQ(&renderDevice.driverGuid, renderDevice.driverGuidPtr);
}

TEST_F(Device, StoredChoicesArePassedOn) {
  const GUID board = {0x12345678, 0x9ABC, 0xDEF0, {0x11, 0x22, 0, 0, 0, 0, 0, 0}};
  Store("UseNULLddguid", REG_DWORD, {0, 0, 0, 0});
  StoreGuid("ddguid", board);
  StoreGuid("deviceguid", IID_IDirect3DRGBDevice);
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("directDraw.Initialize({12345678-9ABC-DEF0-1122})"));
  EXPECT_TRUE(CallMade("direct3D.CreateDevice(RGB,backBuffer,null)"));
}

TEST_F(Device, AStoredDriverIsIgnoredWhileThePrimaryOneIsChosen) {
  const GUID board = {0x12345678, 0x9ABC, 0xDEF0, {0x11, 0x22, 0, 0, 0, 0, 0, 0}};
  StoreGuid("ddguid", board);
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("directDraw.Initialize(null)"));
  EXPECT_EQ(nullptr, renderDevice.driverGuidPtr);
}

TEST_F(Device, ASettingsStoreThatCannotBeOpenedFallsBackToTheDefaults) {
  renderDevice.driverGuid = IID_IDirect3DRGBDevice;  // leftovers must not be used
  renderDevice.deviceGuid = IID_IDirect3DRGBDevice;
  fakeSystem.registryOpenFails = true;
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("directDraw.Initialize(null)"));
  EXPECT_TRUE(CallMade("direct3D.CreateDevice(HAL"));
}

TEST_F(Device, ASecondSetUpCreatesNothing) {
  SetUpDevice();
  EXPECT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(RecordedCalls().empty());
}

TEST_F(Device, NoWindowNoDevice) {
  DestroyWindow(shell.mainWindow);
  ClearRecordedCalls();
  EXPECT_EQ(0, SetUpRenderDevice());
  EXPECT_TRUE(RecordedCalls().empty());
  EXPECT_EQ(nullptr, renderDevice.directDraw);
}

TEST_F(Device, SetUpStopsAtTheFirstFailingStepAndTeardownReleasesWhatWasMade) {
  struct Case {
    const char* failing;
    const char* lastCall;
    bool directDrawKept;
  };
  const Case cases[] = {
      {"DirectDraw.Initialize", "directDraw.Initialize(null)", true},
      {"DirectDraw.SetCooperativeLevel", "directDraw.SetCooperativeLevel(0x11)", true},
      {"DirectDraw.SetDisplayMode", "directDraw.SetDisplayMode(640,480,16,0,0)", true},
      {"DirectDraw.CreateSurface", "directDraw.CreateSurface(size,0x21", true},
      {"Surface.GetAttachedSurface", "primarySurface.GetAttachedSurface", true},
      {"DirectDraw.QueryInterface", "directDraw.QueryInterface(IDirect3D3)", true},
      {"Direct3D.CreateDevice", "direct3D.CreateDevice", true},
      {"Direct3D.CreateViewport", "direct3D.CreateViewport", true},
      {"Device.AddViewport", "device.AddViewport", true},
      {"Viewport.SetViewport2", "viewport.SetViewport2", true},
      {"Device.SetCurrentViewport", "device.SetCurrentViewport", true},
      {"Device.EnumTextureFormats", "device.EnumTextureFormats", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    ResetFakeDirectX();
    fakeDirectX.failures = {{c.failing, E_FAIL}};
    ClearRecordedCalls();
    EXPECT_EQ(0, SetUpRenderDevice());
    std::vector<std::string> calls = DeviceCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(0u, calls.back().rfind(c.lastCall, 0)) << calls.back();
    EXPECT_EQ(c.directDrawKept, renderDevice.directDraw != nullptr);
    EXPECT_FALSE(CallMade("device.SetTransform"));
    TearDownRenderDevice();
    EXPECT_TRUE(LiveFakeObjects().empty());
    EXPECT_EQ(nullptr, renderDevice.directDraw);
  }
}

TEST_F(Device, WhenDirectDrawCannotBeMadeNothingIsLeftToTearDown) {
  fakeComFailures["DirectDraw"] = REGDB_E_CLASSNOTREG;
  EXPECT_EQ(0, SetUpRenderDevice());
  EXPECT_EQ(nullptr, renderDevice.directDraw);
  ClearRecordedCalls();
  TearDownRenderDevice();
  EXPECT_EQ((std::vector<std::string>{"SystemParametersInfoA(97,1)"}), DeviceCalls());
}

TEST_F(Device, WithoutAFourBitAlphaFormatTheFontFailsWithDeviceAndViewportAlreadyMade) {
  fakeDirectX.textureFormats = {FakeFormatX1R5G5B5(), FakeFormatA1R5G5B5(), FakeFormatR5G6B5()};
  EXPECT_EQ(0, SetUpRenderDevice());
  EXPECT_NE(nullptr, renderDevice.device);
  EXPECT_NE(nullptr, renderDevice.viewport);
  EXPECT_EQ(nullptr, renderDevice.textures[Font].surface);
  EXPECT_TRUE(fakeDirectX.textureSurfaces.empty());
  TearDownRenderDevice();
  EXPECT_TRUE(LiveFakeObjects().empty());
}

TEST_F(Device, AMissingPictureStopsSetUpAtItsTexture) {
  fakeSystem.resources.erase({2, RockBitmap});
  EXPECT_EQ(0, SetUpRenderDevice());
  EXPECT_NE(nullptr, renderDevice.textures[Bulb].texture);
  EXPECT_EQ(nullptr, renderDevice.textures[RockBlob].surface);
  EXPECT_EQ(nullptr, renderDevice.textures[Rock].surface);
  EXPECT_FALSE(CallMade("device.SetTransform"));
}

TEST_F(Device, DitheringOnlyAtSixteenBitsOrLess) {
  for (DWORD bpp : {8u, 16u, 24u, 32u}) {
    TearDownRenderDevice();
    renderDevice.displayBpp = bpp;
    ClearRecordedCalls();
    ASSERT_EQ(1, SetUpRenderDevice());
    EXPECT_EQ(bpp <= 16, CallMade("device.SetRenderState(26,1)")) << bpp;
    EXPECT_TRUE(CallMade("directDraw.SetDisplayMode(640,480," + std::to_string(bpp)));
  }
}

TEST_F(Device, InitialStatesNeedADevice) {
  SetInitialRenderStates();
  EXPECT_TRUE(RecordedCalls().empty());
}

TEST_F(Device, TeardownReleasesEverythingInReverseAndLeavesTheSaverFlagOn) {
  SetUpDevice();
  TearDownRenderDevice();
  std::vector<std::string> expected;
  for (int i = 0; i < 6; ++i) {
    expected.push_back("texture#" + std::to_string(i) + ".Release");
    expected.push_back("surface#" + std::to_string(i) + ".Release");
  }
  const std::vector<std::string> rest = {"viewport.Release",
                                         "device.Release",
                                         "direct3D.Release",
                                         "backBuffer.Release",
                                         "primarySurface.Release",
                                         "directDraw.RestoreDisplayMode",
                                         "directDraw.SetCooperativeLevel(0x8)",
                                         "SystemParametersInfoA(97,1)",
                                         "directDraw.Release"};
  expected.insert(expected.end(), rest.begin(), rest.end());
  EXPECT_EQ(expected, DeviceCalls());
  EXPECT_TRUE(LiveFakeObjects().empty());
  EXPECT_EQ(1, fakeSystem.screenSaverRunning);
  RenderDevice empty = RenderDevice();
  EXPECT_EQ(nullptr, renderDevice.directDraw);
  EXPECT_EQ(0, std::memcmp(empty.textures, renderDevice.textures, sizeof(empty.textures)));
}

TEST_F(Device, TeardownTwiceOnlyRepeatsTheSaverFlag) {
  SetUpDevice();
  TearDownRenderDevice();
  ClearRecordedCalls();
  TearDownRenderDevice();
  EXPECT_EQ((std::vector<std::string>{"SystemParametersInfoA(97,1)"}), DeviceCalls());
}

TEST_F(Device, AfterTeardownSetUpRunsInFullAgainAndForgetsTheLastDrawMode) {
  SetUpDevice();
  SelectDrawMode(FlatMode);
  TearDownRenderDevice();
  fakeSystem.registry.erase("deviceguid");
  ClearRecordedCalls();
  ASSERT_EQ(1, SetUpRenderDevice());
  EXPECT_TRUE(CallMade("RegQueryValueExA(deviceguid"));
  EXPECT_TRUE(CallMade("directDraw.SetDisplayMode"));
  EXPECT_EQ(6u, CallsStartingWith("directDraw.CreateSurface(size,0x101007").size());
  ClearRecordedCalls();
  FillScreen(0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000);
  EXPECT_TRUE(CallMade("device.SetRenderState(27,1)")) << "blending is set on the new device";
}

}  // namespace
