// What a DrawPrimitive puts on the screen: colours, blending and the pixels a
// shape covers, read back from the presented picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "port_directx/port_display.h"

namespace {
// Colours agree when each channel is within tol (GL's rounding of products).
::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected, int tol = 1) {
  if (std::abs(actual.r - expected.r) <= tol && std::abs(actual.g - expected.g) <= tol &&
      std::abs(actual.b - expected.b) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actual << " is not within " << tol << " of " << expected;
}

class PortDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(display.Open(640, 480, 32), DD_OK);
    ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  }
  Picture Finish() {
    display.device->EndScene();
    return display.Present();
  }
  PortDisplay display;
};

TEST_F(PortDrawing, ATexturedQuadShowsTextureColourTimesVertexColour) {
  TestTexture texture;
  // 4444 texel: alpha F, red 8, green C, blue 4 = (136, 204, 68).
  ASSERT_TRUE(display.MakeTexture(&texture, Format4444(), 2, 2, std::vector<uint16_t>(4, 0xF8C4)));
  display.FillScreen(0xFF000000);
  display.Blend(false);
  display.device->SetTexture(0, texture.texture);
  display.DrawScreenQuad(100, 100, 200, 200, 0xFF808080);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(150, 150), {68, 102, 34}));
  EXPECT_TRUE(Near(picture.At(300, 300), {0, 0, 0}, 0));
}

TEST_F(PortDrawing, LettersWithVertexAlphaZeroStillShowInFull) {
  // Left half of the texture opaque white, right half transparent white.
  std::vector<uint16_t> texels = {0xFFFF, 0xFFFF, 0x0FFF, 0x0FFF};
  TestTexture texture;
  ASSERT_TRUE(display.MakeTexture(&texture, Format4444(), 4, 1, texels));
  display.FillScreen(0xFF0000FF);
  display.Blend(true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
  display.device->SetTexture(0, texture.texture);
  display.DrawScreenQuad(0, 0, 400, 100, 0x00FFFFFF);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(50, 50), {255, 255, 255}, 0));
  EXPECT_TRUE(Near(picture.At(350, 50), {0, 0, 255}, 0));
}

TEST_F(PortDrawing, AdditiveBlendingAddsTheColourToWhatLiesBehind) {
  TestTexture texture;
  // 565 texel: red 16, green 32, blue 8 = (132, 130, 66).
  uint16_t texel = (16 << 11) | (32 << 5) | 8;
  ASSERT_TRUE(display.MakeTexture(&texture, Format565(), 2, 2, std::vector<uint16_t>(4, texel)));
  display.FillScreen(0xFF404040);
  display.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE);
  display.device->SetTexture(0, texture.texture);
  display.DrawScreenQuad(0, 0, 100, 100, 0xFFFFFFFF);
  // Only the vertex colour scales a glow: half colour adds half.
  display.DrawScreenQuad(200, 0, 300, 100, 0x00808080);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(50, 50), {64 + 132, 64 + 130, 64 + 66}));
  EXPECT_TRUE(Near(picture.At(250, 50), {64 + 66, 64 + 65, 64 + 33}));
  EXPECT_TRUE(Near(picture.At(150, 50), {64, 64, 64}, 0));
}

TEST_F(PortDrawing, WithBlendingOffATransparentTextureDrawsOpaque) {
  TestTexture texture;
  ASSERT_TRUE(display.MakeTexture(&texture, Format4444(), 2, 2, std::vector<uint16_t>(4, 0x0F00)));
  display.FillScreen(0xFF0000FF);
  display.Blend(false);
  display.device->SetTexture(0, texture.texture);
  display.DrawScreenQuad(0, 0, 100, 100, 0xFFFFFFFF);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(50, 50), {255, 0, 0}, 0));
}

TEST_F(PortDrawing, AnUntexturedDrawBlendsItsVertexColourByItsVertexAlpha) {
  display.FillScreen(0xFF000000);
  display.FillScreen(0x80FF0000);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(320, 240), {128, 0, 0}));
}

TEST_F(PortDrawing, FillScreenShadesFromItsFourCornerColours) {
  display.FillScreen(0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(0, 0), {255, 0, 0}, 0));
  EXPECT_TRUE(Near(picture.At(639, 0), {0, 255, 0}, 2));
  EXPECT_TRUE(Near(picture.At(639, 479), {0, 0, 255}, 2));
  EXPECT_TRUE(Near(picture.At(0, 479), {255, 255, 255}, 2));
  // The fan's diagonal runs from top-left to bottom-right.
  EXPECT_TRUE(Near(picture.At(320, 240), {128, 0, 128}, 2));
  EXPECT_TRUE(Near(picture.At(320, 0), {128, 128, 0}, 2));
}

TEST_F(PortDrawing, AWholeFillOfOneColourCoversEveryPixelUnlessCulledOrBlended) {
  display.FillScreen(0xFF336699);
  Picture filled = Finish();
  for (int y : {0, 240, 479})
    for (int x : {0, 320, 639}) EXPECT_TRUE(Near(filled.At(x, y), {0x33, 0x66, 0x99}, 0)) << x << "," << y;

  // Culling clockwise faces takes the fill away; blended, it mixes with what lay there.
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF000000);
  display.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
  display.FillScreen(0xFFFFFFFF);
  display.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  display.device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  display.device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  display.device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  display.FillScreen(0x80FF0000);
  EXPECT_TRUE(Near(Finish().At(320, 240), {128, 0, 0}, 2));

  // Opaque under source-alpha blending it covers exactly; additive blending still adds.
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF202020);
  display.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE);
  display.DrawScreenQuad(0, 0, 640, 480, 0xFF102030);
  EXPECT_TRUE(Near(Finish().At(320, 240), {0x30, 0x40, 0x50}, 0));
}

TEST_F(PortDrawing, PreTransformedVerticesCoverThePixelsDirect3DWould) {
  display.FillScreen(0xFF000000);
  ScreenColorVertex square[4] = {
      {10, 20, 1, 1, 0xFFFFFFFF}, {30, 20, 1, 1, 0xFFFFFFFF}, {30, 40, 1, 1, 0xFFFFFFFF}, {10, 40, 1, 1, 0xFFFFFFFF}};
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, square, 4, D3DDP_DONOTLIGHT);
  Picture whole = Finish();
  int left, top, right, bottom;
  ASSERT_TRUE(whole.CoveredBox(&left, &top, &right, &bottom));
  EXPECT_EQ(left, 10);
  EXPECT_EQ(top, 20);
  EXPECT_EQ(right, 29);
  EXPECT_EQ(bottom, 39);

  // Pixel centres sit on whole coordinates: edges half-way between them move
  // the covered pixels by one.
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF000000);
  for (ScreenColorVertex& v : square) v.x += 0.5f, v.y += 0.5f;
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, square, 4, D3DDP_DONOTLIGHT);
  Picture half = Finish();
  ASSERT_TRUE(half.CoveredBox(&left, &top, &right, &bottom));
  EXPECT_EQ(left, 11);
  EXPECT_EQ(top, 21);
  EXPECT_EQ(right, 30);
  EXPECT_EQ(bottom, 40);
}

TEST_F(PortDrawing, AQuadTwoUnitsAheadCoversTheRectangleOfTheFixedCamera) {
  // The program's camera: near 0.01, far 100, fields of view pi/2 by 3pi/8.
  D3DMATRIX projection;
  std::memset(&projection, 0, sizeof projection);
  float q = 100.0f / (100.0f - 0.01f);
  projection._11 = (float)(1.0 / std::tan(1.5707964f * 0.5));
  projection._22 = (float)(1.0 / std::tan(1.1780972f * 0.5));
  projection._33 = q;
  projection._34 = 1.0f;
  projection._43 = -q * 0.01f;
  D3DMATRIX identity;
  std::memset(&identity, 0, sizeof identity);
  identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
  D3DMATRIX world = identity;
  world._43 = 2.0f;
  display.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
  display.device->SetTransform(D3DTRANSFORMSTATE_VIEW, &identity);
  display.device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  display.FillScreen(0xFF000000);
  display.Blend(false);
  // The bulb's quad: 0.7 wide, 1.0 high.
  QuadVertex quad[4] = {{-0.35f, 0.5f, 0, 0xFFFFFFFF, 0, 0},
                        {0.35f, 0.5f, 0, 0xFFFFFFFF, 1, 0},
                        {0.35f, -0.5f, 0, 0xFFFFFFFF, 1, 1},
                        {-0.35f, -0.5f, 0, 0xFFFFFFFF, 0, 1}};
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, QuadFormat, quad, 4, D3DDP_DONOTLIGHT);
  Picture picture = Finish();
  // x: 320 +- 0.175 * 320 = 264 to 376; y: 240 -+ 0.374 * 240 = 150.2 to 329.8.
  int left, top, right, bottom;
  ASSERT_TRUE(picture.CoveredBox(&left, &top, &right, &bottom));
  EXPECT_EQ(left, 264);
  EXPECT_EQ(right, 375);
  EXPECT_EQ(top, 151);
  EXPECT_EQ(bottom, 329);
  EXPECT_TRUE(Near(picture.At(320, 240), {255, 255, 255}, 0));
}

TEST_F(PortDrawing, CullingDropsTheFacesDirect3DWould) {
  // Corners clockwise on the screen: Direct3D's front face.
  ScreenColorVertex clockwise[4] = {
      {0, 0, 1, 1, 0xFFFFFFFF}, {100, 0, 1, 1, 0xFFFFFFFF}, {100, 100, 1, 1, 0xFFFFFFFF}, {0, 100, 1, 1, 0xFFFFFFFF}};
  ScreenColorVertex anticlockwise[4] = {{200, 0, 1, 1, 0xFFFFFFFF},
                                        {200, 100, 1, 1, 0xFFFFFFFF},
                                        {300, 100, 1, 1, 0xFFFFFFFF},
                                        {300, 0, 1, 1, 0xFFFFFFFF}};
  display.FillScreen(0xFF000000);
  display.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, clockwise, 4, D3DDP_DONOTLIGHT);
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, anticlockwise, 4, D3DDP_DONOTLIGHT);
  Picture picture = Finish();
  EXPECT_TRUE(Near(picture.At(50, 50), {255, 255, 255}, 0));
  EXPECT_TRUE(Near(picture.At(250, 50), {0, 0, 0}, 0));

  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(0xFF000000);
  display.device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CW);
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, clockwise, 4, D3DDP_DONOTLIGHT);
  display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, anticlockwise, 4, D3DDP_DONOTLIGHT);
  picture = Finish();
  EXPECT_TRUE(Near(picture.At(50, 50), {0, 0, 0}, 0));
  EXPECT_TRUE(Near(picture.At(250, 50), {255, 255, 255}, 0));
}

TEST_F(PortDrawing, DrawingOutsideAScenePutsNothingOnTheScreen) {
  display.FillScreen(0xFF000000);
  ASSERT_EQ(display.device->EndScene(), D3D_OK);
  ScreenColorVertex square[4] = {
      {0, 0, 1, 1, 0xFFFFFFFF}, {100, 0, 1, 1, 0xFFFFFFFF}, {100, 100, 1, 1, 0xFFFFFFFF}, {0, 100, 1, 1, 0xFFFFFFFF}};
  EXPECT_EQ(display.device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, square, 4, D3DDP_DONOTLIGHT),
            D3DERR_SCENE_NOT_IN_SCENE);
  EXPECT_EQ(display.device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
  Picture picture = display.Present();
  EXPECT_TRUE(Near(picture.At(50, 50), {0, 0, 0}, 0));
}
TEST_F(PortDrawing, DrawsReachGlTogetherUntilWhatGlMustBeToldChanges) {
  TestTexture texture, other;
  ASSERT_TRUE(display.MakeTexture(&texture, Format4444(), 2, 2, std::vector<uint16_t>(4, 0xFFFF)));
  ASSERT_TRUE(display.MakeTexture(&other, Format4444(), 2, 2, std::vector<uint16_t>(4, 0xFFFF)));
  IDirect3DDevice3* device = display.device;
  D3DMATRIX moved = {};
  moved._11 = moved._22 = moved._33 = moved._44 = 1.0f;
  moved._41 = 0.5f;
  QuadVertex quad[4] = {{-0.25f, 0.25f, 0, 0xFFFFFFFF, 0, 0},
                        {0.25f, 0.25f, 0, 0xFFFFFFFF, 1, 0},
                        {0.25f, -0.25f, 0, 0xFFFFFFFF, 1, 1},
                        {-0.25f, -0.25f, 0, 0xFFFFFFFF, 0, 1}};
  struct Case {
    const char* between;
    std::function<void()> call;
    uint32_t glDraws;  // for the two quads either side
  } cases[] = {
      {"nothing", [] {}, 1},
      {"a transform", [&] { device->SetTransform(D3DTRANSFORMSTATE_WORLD, &moved); }, 1},
      {"the same texture again", [&] { device->SetTexture(0, texture.texture); }, 1},
      {"a draw of another vertex format",
       [&] { device->DrawPrimitive(D3DPT_TRIANGLEFAN, QuadFormat, quad, 4, D3DDP_DONOTLIGHT); }, 1},
      {"another texture", [&] { device->SetTexture(0, other.texture); }, 2},
      {"another filter", [&] { device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR); }, 2},
      {"other blend factors", [&] { display.Blend(true, D3DBLEND_ONE, D3DBLEND_ONE); }, 2},
      {"no culling", [&] { device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE); }, 2},
      {"a draw GL must clip, which goes alone", [&] { display.DrawScreenQuad(600, 0, 700, 100, 0xFFFFFFFF); }, 3},
      {"a clear",
       [&] {
         display.FillScreen(0xFF000000);
         device->SetTexture(0, texture.texture);
       },
       2},
      {"a texture's upload",
       [&] {
         DDSURFACEDESC2 desc = {};
         desc.dwSize = sizeof desc;
         if (SUCCEEDED(other.surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) other.surface->Unlock(nullptr);
       },
       2},
      {"the end of a scene", [&] { device->EndScene(), device->BeginScene(); }, 2},
  };
  for (const Case& c : cases) {
    device->SetTexture(0, texture.texture);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW);
    display.Blend(true);
    uint32_t before = GlDrawsMade();
    display.DrawScreenQuad(0, 0, 100, 100, 0xFFFFFFFF);
    c.call();
    display.DrawScreenQuad(100, 0, 200, 100, 0xFFFFFFFF);
    FlushGlDraws();
    EXPECT_EQ(GlDrawsMade() - before, c.glDraws) << "between them: " << c.between;
  }
}

TEST_F(PortDrawing, APresentShowsEveryDrawBeforeItInItsOrder) {
  TestTexture white;
  ASSERT_TRUE(display.MakeTexture(&white, Format4444(), 2, 2, std::vector<uint16_t>(4, 0xFFFF)));
  display.FillScreen(0xFF000000);
  display.Blend(false);
  display.device->SetTexture(0, white.texture);
  uint32_t before = GlDrawsMade();
  const D3DCOLOR colours[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
  for (int i = 0; i < 3; ++i) display.DrawScreenQuad(100.0f * i, 0, 100.0f * i + 200, 100, colours[i]);
  Picture picture = display.Present();  // no end of the scene first
  EXPECT_EQ(GlDrawsMade() - before, 1u);
  const Rgb expected[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 255}};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(Near(picture.At(100 * i + 50, 50), expected[i], 0)) << i;
}
}  // namespace
