// The drawing primitives: the draw-mode cache, where the turned quads' corners
// land, the backdrop's wobbling texture coordinates and the gradient fill.
#include <cmath>
#include <cstdlib>

#include "gfx/gfx_fixture.h"

namespace {

const float Pi = 3.14159265f;

class Primitives : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    SetUpDevice();
  }
  // Where corner i of a recorded quad draw lands in the world.
  void Corner(const FakeDraw& draw, int i, float out[3]) {
    const QuadVertex& v = draw.At<QuadVertex>(i);
    const D3DMATRIX& m = draw.world;
    out[0] = v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41;
    out[1] = v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42;
    out[2] = v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43;
  }
  void ExpectCorner(const FakeDraw& draw, int i, float x, float y, float z) {
    float p[3];
    Corner(draw, i, p);
    EXPECT_NEAR(x, p[0], 1e-6) << "corner " << i;
    EXPECT_NEAR(y, p[1], 1e-6) << "corner " << i;
    EXPECT_NEAR(z, p[2], 1e-6) << "corner " << i;
  }
  std::vector<std::string> StateCalls() {
    std::vector<std::string> calls;
    for (const std::string& c : DeviceCalls())
      if (c.rfind("device.SetTexture(", 0) == 0 || c.rfind("device.SetRenderState(", 0) == 0) calls.push_back(c);
    return calls;
  }
};

TEST_F(Primitives, EachModeBindsItsTextureAndSetsItsBlending) {
  struct Case {
    DrawMode mode;
    std::vector<std::string> calls;
  };
  const std::string srcAlpha = "device.SetRenderState(19,5)", invSrcAlpha = "device.SetRenderState(20,6)";
  const std::string blendOn = "device.SetRenderState(27,1)", blendOff = "device.SetRenderState(27,0)";
  const Case cases[] = {
      {TextMode, {"device.SetTexture(0,texture#0)", blendOn, srcAlpha, invSrcAlpha}},
      {BulbMode, {"device.SetTexture(0,texture#2)", blendOn, srcAlpha, invSrcAlpha}},
      {GlowMode,
       {"device.SetTexture(0,texture#1)", blendOn, "device.SetRenderState(19,2)", "device.SetRenderState(20,2)"}},
      {FlatMode, {"device.SetTexture(0,null)", blendOn, srcAlpha, invSrcAlpha}},
      {RockBlobMode, {"device.SetTexture(0,texture#3)", blendOn, srcAlpha, invSrcAlpha}},
      {SignMode, {"device.SetTexture(0,texture#5)", blendOff}},
      {RockMode, {"device.SetTexture(0,texture#4)", blendOff}},
  };
  for (const Case& c : cases) {
    currentDrawMode = (DrawMode)0;
    ClearRecordedCalls();
    SelectDrawMode(c.mode);
    EXPECT_EQ(c.calls, DeviceCalls()) << c.mode;
    EXPECT_EQ(c.mode, currentDrawMode);
  }
}

TEST_F(Primitives, RepeatedBulbsSetTheirStatesOnceUntilAGlowComesBetween) {
  DrawBulb(0, 0, 2, 0xFFFFFFFF, 0);
  DrawBulb(0, 0, 2, 0xFFFFFFFF, 0);
  EXPECT_EQ(1u, CallsStartingWith("device.SetTexture").size());
  EXPECT_EQ(3u, CallsStartingWith("device.SetRenderState").size());
  DrawGlow(0, 0, 2, 0xFFFFFFFF, 0);
  ClearRecordedCalls();
  DrawBulb(0, 0, 2, 0xFFFFFFFF, 0);
  EXPECT_EQ((std::vector<std::string>{"device.SetTexture(0,texture#2)", "device.SetRenderState(27,1)",
                                      "device.SetRenderState(19,5)", "device.SetRenderState(20,6)"}),
            StateCalls());
}

TEST_F(Primitives, OpaqueModesLeaveTheBlendFactorsAsTheyWere) {
  SelectDrawMode(GlowMode);
  SelectDrawMode(SignMode);
  EXPECT_EQ(0u, fakeDirectX.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE]);
  EXPECT_EQ((DWORD)D3DBLEND_ONE, fakeDirectX.renderStates[D3DRENDERSTATE_SRCBLEND]);
  EXPECT_EQ((DWORD)D3DBLEND_ONE, fakeDirectX.renderStates[D3DRENDERSTATE_DESTBLEND]);
  SelectDrawMode(BulbMode);
  EXPECT_EQ((DWORD)D3DBLEND_SRCALPHA, fakeDirectX.renderStates[D3DRENDERSTATE_SRCBLEND]);
  EXPECT_EQ((DWORD)D3DBLEND_INVSRCALPHA, fakeDirectX.renderStates[D3DRENDERSTATE_DESTBLEND]);
}

TEST_F(Primitives, AnUnknownModeSetsNothingButIsRemembered) {
  SelectDrawMode((DrawMode)9);
  EXPECT_TRUE(DeviceCalls().empty());
  EXPECT_EQ(9, currentDrawMode);
  SelectDrawMode(TextMode);
  EXPECT_EQ(4u, DeviceCalls().size());
}

TEST_F(Primitives, WithoutADeviceNothingIsDrawnAndTheCacheStays) {
  SelectDrawMode(GlowMode);
  TearDownRenderDevice();
  ClearRecordedCalls();
  SelectDrawMode(BulbMode);
  DrawBulb(0, 0, 1, 0xFFFFFFFF, 0);
  DrawGlow(0, 0, 1, 0xFFFFFFFF, 0);
  DrawRockBlob(0, 0, 1, 0xFFFFFFFF, 0);
  DrawSign(0, 0, 1, 0xFFFFFFFF, 0);
  DrawBackdrop(0xFFFFFFFF, 0, 0, 0, 0);
  FillScreen(0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000);
  EXPECT_TRUE(RecordedCalls().empty());
  EXPECT_EQ(GlowMode, currentDrawMode);
}

TEST_F(Primitives, ABulbAtDepthTwoFacesTheCameraCentredOnScreen) {
  DrawBulb(0, 0, 2, 0xFF336699, 0);
  ASSERT_EQ(1u, fakeDirectX.draws.size());
  const FakeDraw& d = fakeDirectX.draws[0];
  EXPECT_EQ(D3DPT_TRIANGLEFAN, d.type);
  EXPECT_EQ(0x142u, d.vertexFormat);
  EXPECT_EQ(4u, d.vertexCount);
  EXPECT_EQ((DWORD)D3DDP_DONOTLIGHT, d.flags);
  EXPECT_EQ(FakeTextureOf(Bulb), d.texture);
  ExpectCorner(d, 0, -0.35f, 0.5f, 2);
  ExpectCorner(d, 1, 0.35f, 0.5f, 2);
  ExpectCorner(d, 2, 0.35f, -0.5f, 2);
  ExpectCorner(d, 3, -0.35f, -0.5f, 2);
  const float tex[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(0xFF336699u, d.At<QuadVertex>(i).color);
    EXPECT_EQ(tex[i][0], d.At<QuadVertex>(i).tu);
    EXPECT_EQ(tex[i][1], d.At<QuadVertex>(i).tv);
  }
}

TEST_F(Primitives, AQuarterTurnLaysTheBulbOnItsSideClockwise) {
  DrawBulb(1, -1, 3, 0xFFFFFFFF, Pi / 2);
  const FakeDraw& d = fakeDirectX.draws[0];
  ExpectCorner(d, 0, 1 + 0.5f, -1 + 0.35f, 3);  // top-left (-0.35, 0.5) turned to (0.5, 0.35)
  ExpectCorner(d, 2, 1 - 0.5f, -1 - 0.35f, 3);
}

TEST_F(Primitives, EachQuadHasItsOwnShapeAndMode) {
  struct Case {
    void (*draw)(float, float, float, D3DCOLOR, float);
    TextureId texture;
    float left, top, right, bottom;
  };
  const Case cases[] = {
      {DrawBulb, Bulb, -0.35f, 0.5f, 0.35f, -0.5f},
      {DrawRockBlob, RockBlob, -1.5f, 1.5f, 1.5f, -1.5f},
      {DrawGlow, Glow, -0.46f, 0.67f, 0.54f, -0.32f},
      {DrawSign, WarningSign, -1.75f, 1.0f, 1.75f, -1.0f},
  };
  for (const Case& c : cases) {
    fakeDirectX.draws.clear();
    c.draw(0.25f, 0.5f, 4, 0xFF00FF00, 0);
    ASSERT_EQ(1u, fakeDirectX.draws.size());
    const FakeDraw& d = fakeDirectX.draws[0];
    EXPECT_EQ(FakeTextureOf(c.texture), d.texture) << c.texture;
    ExpectCorner(d, 0, 0.25f + c.left, 0.5f + c.top, 4);
    ExpectCorner(d, 1, 0.25f + c.right, 0.5f + c.top, 4);
    ExpectCorner(d, 2, 0.25f + c.right, 0.5f + c.bottom, 4);
    ExpectCorner(d, 3, 0.25f + c.left, 0.5f + c.bottom, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0xFF00FF00u, d.At<QuadVertex>(i).color);
  }
}

TEST_F(Primitives, AGlowSharingTheBulbsPlaceSitsOverItsUpperPartAndTurnsWithIt) {
  const float a = 0.6f;
  DrawGlow(0, 0, 2, 0xFFFFFFFF, a);
  // The glow's centre (0.04, 0.175) turned like every corner.
  float p0[3], p2[3];
  Corner(fakeDirectX.draws[0], 0, p0);
  Corner(fakeDirectX.draws[0], 2, p2);
  const float c = std::cos(a), s = std::sin(a);
  EXPECT_NEAR(0.04f * c + 0.175f * s, (p0[0] + p2[0]) / 2, 1e-6);
  EXPECT_NEAR(-0.04f * s + 0.175f * c, (p0[1] + p2[1]) / 2, 1e-6);
}

TEST_F(Primitives, TheBackdropCoversTheScreenWithCirclingTextureCoordinates) {
  renderDevice.displayWidth = 800;
  renderDevice.displayHeight = 600;
  DrawBackdrop(0xFFFF0000, 0, 0, 0, 0);
  DrawBackdrop(0xFFFF0000, Pi / 2, 0, 0, 0);
  ASSERT_EQ(2u, fakeDirectX.draws.size());
  const FakeDraw& d = fakeDirectX.draws[0];
  EXPECT_EQ(0x144u, d.vertexFormat);
  EXPECT_EQ(FakeTextureOf(Rock), d.texture);
  EXPECT_EQ(0u, d.renderStates.at(D3DRENDERSTATE_ALPHABLENDENABLE));
  const float expected[4][4] = {{0, 0, 0, 0.25f}, {800, 0, 1, 0.25f}, {800, 600, 1, 1.25f}, {0, 600, 0, 1.25f}};
  for (int i = 0; i < 4; ++i) {
    const ScreenTexVertex& v = d.At<ScreenTexVertex>(i);
    EXPECT_EQ(expected[i][0], v.x);
    EXPECT_EQ(expected[i][1], v.y);
    EXPECT_EQ(1.0f, v.z);
    EXPECT_EQ(1.0f, v.rhw);
    EXPECT_EQ(0xFFFF0000u, v.color);
    EXPECT_FLOAT_EQ(expected[i][2], v.tu) << i;
    EXPECT_FLOAT_EQ(expected[i][3], v.tv) << i;
  }
  const ScreenTexVertex& turned = fakeDirectX.draws[1].At<ScreenTexVertex>(0);
  EXPECT_FLOAT_EQ(0.25f, turned.tu);
  EXPECT_NEAR(0.0f, turned.tv, 1e-6);
  EXPECT_FALSE(CallMade("device.SetTransform")) << "screen quads leave the world matrix alone";
}

TEST_F(Primitives, FillScreenIsAnUntexturedGradientOneColourPerCorner) {
  DrawBulb(0, 0, 2, 0xFFFFFFFF, 0);
  FillScreen(0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004);
  const FakeDraw& d = fakeDirectX.draws.back();
  EXPECT_EQ(0x44u, d.vertexFormat);
  EXPECT_EQ(nullptr, d.texture);
  EXPECT_EQ(1u, d.renderStates.at(D3DRENDERSTATE_ALPHABLENDENABLE));
  EXPECT_EQ((DWORD)D3DBLEND_SRCALPHA, d.renderStates.at(D3DRENDERSTATE_SRCBLEND));
  const float corners[4][2] = {{0, 0}, {640, 0}, {640, 480}, {0, 480}};
  for (int i = 0; i < 4; ++i) {
    const ScreenColorVertex& v = d.At<ScreenColorVertex>(i);
    EXPECT_EQ(corners[i][0], v.x);
    EXPECT_EQ(corners[i][1], v.y);
    EXPECT_EQ(1.0f, v.z);
    EXPECT_EQ(1.0f, v.rhw);
    EXPECT_EQ(0xFF000001u + i, v.color);
  }
}

TEST(RandomUpTo, StaysWithinZeroAndTheLimitAndRarelyReachesIt) {
  std::srand(7);
  EXPECT_EQ(0, RandomUpTo(0.0f));
  int ones = 0;
  for (int i = 0; i < 20000; ++i) {
    const int r = RandomUpTo(10.0f);
    ASSERT_GE(r, 0);
    ASSERT_LE(r, 10);
    const int n = RandomUpTo(-10.0f);
    ASSERT_GE(n, -10);
    ASSERT_LE(n, 0);
    ones += RandomUpTo(1.0f);
  }
  EXPECT_LT(ones, 5) << "1 comes only from the very top draw";
}

}  // namespace
