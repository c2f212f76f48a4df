// Text from the glyph sheet: which cell each character takes, where it stands,
// and how turned strings relate to plain ones.
#include <cmath>
#include <cstring>

#include "gfx/gfx_fixture.h"

namespace {

// v x m without the translation row; out may be v.
void Turn(const float v[3], const D3DMATRIX& m, float out[3]) {
  const float* e = &m._11;
  float r[3];
  for (int j = 0; j < 3; ++j) r[j] = v[0] * e[j] + v[1] * e[4 + j] + v[2] * e[8 + j];
  for (int j = 0; j < 3; ++j) out[j] = r[j];
}

class Text : public GfxTest {
 protected:
  void SetUp() override {
    GfxTest::SetUp();
    SetUpDevice();
  }
  // The cell (column, row) a recorded glyph draw shows, from its coordinates.
  void ExpectCell(const FakeDraw& d, int column, int row) {
    const float left = column / 16.0f, top = row / 16.0f;
    const float expected[4][2] = {
        {left, top}, {left + 0.0625f, top}, {left + 0.0625f, top + 0.0625f}, {left, top + 0.0625f}};
    for (int i = 0; i < 4; ++i) {
      EXPECT_FLOAT_EQ(expected[i][0], d.At<QuadVertex>(i).tu) << "corner " << i;
      EXPECT_FLOAT_EQ(expected[i][1], d.At<QuadVertex>(i).tv) << "corner " << i;
    }
  }
  void ExpectCentre(const FakeDraw& d, float x, float y, float z) {
    EXPECT_FLOAT_EQ(x, d.world._41);
    EXPECT_FLOAT_EQ(y, d.world._42);
    EXPECT_FLOAT_EQ(z, d.world._43);
  }
};

TEST_F(Text, AStringSetsItsLettersSideBySideFromTheirCells) {
  DrawString("AB", 0, 0, 1, 0xFFFFFFFF);
  ASSERT_EQ(2u, fakeDirectX.draws.size());
  ExpectCell(fakeDirectX.draws[0], 1, 4);
  ExpectCentre(fakeDirectX.draws[0], 0, 0, 1);
  ExpectCell(fakeDirectX.draws[1], 2, 4);
  ExpectCentre(fakeDirectX.draws[1], 0.105f, 0, 1);
  for (const FakeDraw& d : fakeDirectX.draws) {
    EXPECT_EQ(0x142u, d.vertexFormat);
    EXPECT_EQ(FakeTextureOf(Font), d.texture);
    EXPECT_EQ(1u, d.renderStates.at(D3DRENDERSTATE_ALPHABLENDENABLE));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0xFFFFFFFFu, d.At<QuadVertex>(i).color);
  }
  // The glyph quad is 0.2 wide and centred on its position.
  EXPECT_FLOAT_EQ(-0.1f, fakeDirectX.draws[0].At<QuadVertex>(0).x);
  EXPECT_FLOAT_EQ(0.1f, fakeDirectX.draws[0].At<QuadVertex>(2).x);
}

TEST_F(Text, ModeIsChosenOncePerString) {
  DrawString("Hello", 0, 0, 1, 0xFFFFFFFF);
  DrawString("again", 0, 0, 1, 0xFFFFFFFF);
  EXPECT_EQ(1u, CallsStartingWith("device.SetTexture").size());
  EXPECT_EQ(10u, CallsStartingWith("device.SetTransform(1)").size());
}

TEST_F(Text, AnEmptyStringDrawsNothingButLeavesItsColourAndMode) {
  DrawString("", 0, 0, 1, 0xFF123456);
  EXPECT_TRUE(fakeDirectX.draws.empty());
  EXPECT_EQ(TextMode, currentDrawMode);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(0xFF123456u, glyphQuad[i].color);
}

TEST_F(Text, EveryCharacterAdvancesEvenWhenItShowsNothing) {
  DrawString("\x01 \xC8~", 1, 2, 3, 0xFF000000);
  ASSERT_EQ(4u, fakeDirectX.draws.size());
  ExpectCell(fakeDirectX.draws[0], 1, 0);
  ExpectCell(fakeDirectX.draws[1], 0, 2);
  ExpectCell(fakeDirectX.draws[2], 8, 12);  // 200, taken unsigned
  ExpectCell(fakeDirectX.draws[3], 14, 7);
  for (int i = 0; i < 4; ++i) ExpectCentre(fakeDirectX.draws[i], 1 + 0.105f * i, 2, 3);
}

TEST_F(Text, AStringCoversFromItsFirstLetterToItsLast) {
  const char* text = "0123456789";
  DrawString(text, -0.5f, 0, 2, 0xFFFFFFFF);
  const FakeDraw& last = fakeDirectX.draws.back();
  EXPECT_NEAR(-0.5f + 0.105f * 9 + 0.1f, last.world._41 + last.At<QuadVertex>(1).x, 1e-5);
  EXPECT_NEAR(-0.5f - 0.1f, fakeDirectX.draws[0].world._41 + fakeDirectX.draws[0].At<QuadVertex>(0).x, 1e-6);
}

TEST_F(Text, OneGlyphMatchesTheFirstLetterOfAString) {
  DrawGlyph(65 + 256, 0.3f, -0.2f, 1.5f, 0xFF00FF00);  // only the low 8 bits count
  DrawString("A", 0.3f, -0.2f, 1.5f, 0xFF00FF00);
  ASSERT_EQ(2u, fakeDirectX.draws.size());
  const FakeDraw& glyph = fakeDirectX.draws[0];
  const FakeDraw& string = fakeDirectX.draws[1];
  EXPECT_EQ(glyph.vertices, string.vertices);
  EXPECT_EQ(0, std::memcmp(&glyph.world, &string.world, sizeof(D3DMATRIX)));
  EXPECT_EQ(glyph.texture, string.texture);
}

TEST_F(Text, UnturnedRotatedStringsDrawExactlyLikePlainOnes) {
  DrawString("Tungsten", -0.4f, 0.25f, 1.2f, 0xFFABCDEF);
  DrawRotatedString("Tungsten", -0.4f, 0.25f, 1.2f, 0, 0, 0, 0xFFABCDEF);
  ASSERT_EQ(16u, fakeDirectX.draws.size());
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(fakeDirectX.draws[i].vertices, fakeDirectX.draws[i + 8].vertices) << i;
    EXPECT_EQ(0, std::memcmp(&fakeDirectX.draws[i].world, &fakeDirectX.draws[i + 8].world, sizeof(D3DMATRIX))) << i;
  }
}

TEST_F(Text, RotatedLettersTurnAboutTheirOwnCentresAlongAStraightLine) {
  const float quarter = 1.5707964f;
  DrawRotatedString("ab", 0.5f, 0, 2, 0, quarter, 0, 0xFFFFFFFF);
  ASSERT_EQ(2u, fakeDirectX.draws.size());
  for (int n = 0; n < 2; ++n) {
    const D3DMATRIX& m = fakeDirectX.draws[n].world;
    // Edge-on: the quad's x axis now points along z, so it shows as a hairline.
    EXPECT_NEAR(0.0f, m._11, 1e-6);
    EXPECT_NEAR(1.0f, std::fabs(m._13), 1e-6);
    EXPECT_FLOAT_EQ(0.5f + 0.105f * n, m._41);
    EXPECT_FLOAT_EQ(2.0f, m._43);
  }
  // The letter turns about z first, then y, then x.
  fakeDirectX.draws.clear();
  DrawRotatedString("c", 0, 0, 1, 0.3f, 0.5f, 0.7f, 0xFFFFFFFF);
  D3DMATRIX rx, ry, rz;
  MakeRotationX(rx, 0.3f);
  MakeRotationY(ry, 0.5f);
  MakeRotationZ(rz, 0.7f);
  const float corner[3] = {-0.1f, 0.1f, 0.0f};
  float v[3];
  Turn(corner, rz, v);
  Turn(v, ry, v);
  Turn(v, rx, v);
  float drawn[3];
  Turn(corner, fakeDirectX.draws[0].world, drawn);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], drawn[i], 1e-6) << i;
}

TEST_F(Text, NoDeviceNoText) {
  TearDownRenderDevice();
  ClearRecordedCalls();
  DrawGlyph('A', 0, 0, 1, 0xFFFFFFFF);
  DrawString("A", 0, 0, 1, 0xFFFFFFFF);
  DrawRotatedString("A", 0, 0, 1, 1, 1, 1, 0xFFFFFFFF);
  EXPECT_TRUE(RecordedCalls().empty());
}

}  // namespace
