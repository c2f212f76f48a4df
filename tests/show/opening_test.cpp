#include <cmath>

#include "show_fixture.h"

using OpeningTest = ShowTest;

TEST_F(OpeningTest, TheSignFadesInHoldsAndFadesOutThenTurnsTransparent) {
  const std::pair<DWORD, D3DCOLOR> expected[] = {{0, 0xFF000000},    {999, GreyOf(254)},  {1000, 0xFFFFFFFF},
                                                 {4000, 0xFFFFFFFF}, {4001, GreyOf(254)}, {5000, 0xFF000000},
                                                 {5001, 0x00000000}};
  for (auto& e : expected) {
    Frame(SignFade, e.first);
    auto fill = CallsNamed("FillScreen");
    auto sign = CallsNamed("DrawSign");
    ASSERT_EQ(fill.size(), 1u);
    ASSERT_EQ(sign.size(), 1u);
    EXPECT_EQ(fill[0].colours, std::vector<D3DCOLOR>(4, 0xFF000000));
    EXPECT_EQ(sign[0].values, (std::vector<float>{0.0f, 0.0f, 3.0f, 0.0f}));
    EXPECT_EQ(sign[0].colours[0], e.second) << "t = " << e.first;
  }
}

TEST_F(OpeningTest, TheTitlePulsesFromRedTowardsWhiteBeforeTheTurningBlobs) {
  Frame(BulbTitle, 0);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"BeginScene", "FillScreen", "DrawRockBlob", "DrawRockBlob",
                                                   "DrawBulb", "DrawGlow", "DrawRotatedString", "EndScene", "Flip"}));
  for (auto& c : drawCalls)
    if (c.name.rfind("Draw", 0) == 0 && c.name != "DrawRotatedString") {
      EXPECT_EQ(c.colours[0], 0xFFFF0000u) << c.name;
    }

  Frame(BulbTitle, 3142);
  float a = 3142 * 0.001f;
  auto blobs = CallsNamed("DrawRockBlob");
  D3DCOLOR col = blobs[0].colours[0];
  EXPECT_EQ(col >> 16, 0xFFFFu);
  EXPECT_GE(col & 0xFF, 253u);
  EXPECT_EQ((col >> 8) & 0xFF, col & 0xFF);
  EXPECT_EQ(blobs[0].values, (std::vector<float>{-0.2f, 0.0f, 2.0f, a}));
  EXPECT_EQ(blobs[1].values, (std::vector<float>{0.2f, 0.0f, 2.0f, a * 0.5f}));
  EXPECT_EQ(CallsNamed("DrawBulb")[0].values, (std::vector<float>{0.0f, 0.0f, 1.5f, -a}));
  EXPECT_EQ(CallsNamed("DrawGlow")[0].values, (std::vector<float>{0.0f, 0.0f, 1.5f, -a}));
  auto label = CallsNamed("DrawRotatedString")[0];
  EXPECT_EQ(label.text, "ZedadAzi2");
  EXPECT_EQ(label.values, (std::vector<float>{-0.35f, 0.15f, 1.5f, 0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(label.colours[0], 0xFF000000u);

  // A quarter of the way round: pulse 127 exactly.
  Frame(BulbTitle, 1571);
  EXPECT_EQ(CallsNamed("DrawBulb")[0].colours[0], 0xFFFF7F7Fu);
}

TEST_F(OpeningTest, TheZoomBringsBulbGlowAndLabelTowardsTheCameraInPureRed) {
  showDirector.titleDepth = 1.5f;
  Frame(BulbZoom, 500, 20);
  float depth = 1.5f + 20 * -0.001f;
  EXPECT_EQ(showDirector.titleDepth, depth);
  EXPECT_EQ(CallsNamed("DrawRockBlob")[1].values, (std::vector<float>{0.2f, 0.0f, 2.0f, 0.25f}));
  EXPECT_EQ(CallsNamed("DrawBulb")[0].values, (std::vector<float>{0.0f, 0.0f, depth, -0.5f}));
  EXPECT_EQ(CallsNamed("DrawGlow")[0].colours[0], 0xFFFF0000u);
  EXPECT_EQ(CallsNamed("DrawRotatedString")[0].values[2], depth);
}
