#include <cmath>
#include <cstdlib>

#include "show_fixture.h"

using HeadlineTest = ShowTest;

TEST_F(HeadlineTest, FlyInDrawsSixLayersWithGreyEchoesUnderTheWhiteLetters) {
  LoadSlideDeck();
  showDirector.headlineDepth = 0.1f;
  Frame(HeadlineFlyIn, 100, 10);
  auto glyphs = CallsNamed("DrawGlyph");
  ASSERT_EQ(glyphs.size(), 6u * 33);
  // Every layer starts from the saved depth; the last layer's growth stays.
  float depth = 0.1f;
  for (int k = 0; k < 33; ++k) depth += 10 * 0.0001f;
  EXPECT_EQ(showDirector.headlineDepth, depth);

  float start = -33 * 0.105f * 0.5f;
  const DrawCall& first = glyphs[0];  // layer 0, letter F
  EXPECT_EQ(first.text, "F");
  EXPECT_NEAR(first.values[0], start, 1e-6);
  EXPECT_NEAR(first.values[2], 0.101 + 1.2, 1e-6);
  EXPECT_EQ(first.colours[0], GreyOf(241));  // trunc(1.899 * 127)
  // Letter 1 sits 0.2 behind the camera: its grey passes 255 and wraps.
  EXPECT_EQ(glyphs[1].colours[0], GreyOf(266 - 256));
  EXPECT_NEAR(glyphs[1].values[0], start + 0.105f, 1e-6);
  // Layer 5 is white, 0.2 nearer than the letter's depth, and drawn last.
  const DrawCall& top = glyphs[5 * 33];
  EXPECT_EQ(top.colours[0], 0xFFFFFFFFu);
  EXPECT_NEAR(top.values[2], 0.101 + 0.2, 1e-6);
  for (auto& g : glyphs) EXPECT_EQ(g.values[1], 0.0f);
}

TEST_F(HeadlineTest, FlyInEchoesTurnBlackAndEveryCopyRestsAtTwo) {
  LoadSlideDeck();
  showDirector.headlineDepth = 9.0f;
  Frame(HeadlineFlyIn, 100, 10);
  auto glyphs = CallsNamed("DrawGlyph");
  for (int layer = 0; layer < 6; ++layer) {
    EXPECT_EQ(glyphs[layer * 33].values[2], 2.0f);
    EXPECT_EQ(glyphs[layer * 33].colours[0], layer < 5 ? 0xFF000000u : 0xFFFFFFFFu);
  }
}

// The random numbers the jolt draws, from the same seed.
struct JoltDraws {
  D3DCOLOR colour;
  float z, dx, dy;
};
static JoltDraws ExpectedJolt() {
  auto next = [](double limit) { return (int)((std::rand() & 0x7FFF) / 32767.0 * limit); };
  JoltDraws j;
  j.colour = ((DWORD)next(16777215.0f) & 0xFFFFFF00u) | 0xFF;
  j.z = next(2000.0f) * 0.001f + 1.0f;
  j.dx = next(500.0f) * 0.001f - 0.25f;
  j.dy = next(500.0f) * 0.001f - 0.25f;
  return j;
}

TEST_F(HeadlineTest, JoltShakesTheCurrentWordInARandomColourOverBlackInTheFirstCycle) {
  fakeSystem.strings[200] = "ab cd";
  LoadSlideDeck();
  showDirector.wordIndex = 1;
  showDirector.wordTimer = fakeSystem.now;
  std::srand(42);
  JoltDraws j = ExpectedJolt();
  std::vector<float> jitter;
  for (int i = 0; i < 6; ++i) jitter.push_back((int)((std::rand() & 0x7FFF) / 32767.0 * 100.0f) * 0.001f - 0.05f);
  std::srand(42);
  Frame(HeadlineJolt, 100, 10);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"BeginScene", "FillScreen", "DrawGlyph", "DrawGlyph", "DrawGlyph",
                                                   "DrawGlyph", "DrawGlyph", "EndScene", "Flip"}));
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours, std::vector<D3DCOLOR>(4, 0xFF000000));
  auto glyphs = CallsNamed("DrawGlyph");
  float start = -5 * 0.105f * 0.5f;
  for (int k = 0; k < 2; ++k) {  // "ab" rests
    EXPECT_EQ(glyphs[k].colours[0], 0xFFFFFFFFu);
    EXPECT_EQ(glyphs[k].values, (std::vector<float>{start + k * 0.105f, 0.0f, 2.0f}));
  }
  for (int k = 2; k < 5; ++k) {  // " cd" jolts, the space with it
    float x = start + k * 0.105f;
    EXPECT_EQ(glyphs[k].colours[0], j.colour);
    EXPECT_EQ(glyphs[k].colours[0] >> 24, 0u);
    EXPECT_NEAR(glyphs[k].values[0], x + j.dx + jitter[2 * (k - 2)], 1e-5);
    EXPECT_NEAR(glyphs[k].values[1], j.dy + jitter[2 * (k - 2) + 1], 1e-5);
    EXPECT_EQ(glyphs[k].values[2], j.z);
  }
  EXPECT_EQ(showDirector.wordIndex, 1);
}

TEST_F(HeadlineTest, TheWordClockRunsOnItsOwnTimer) {
  LoadSlideDeck();
  fakeSystem.now = 5000;
  fakeSystem.advancePerRead = 3;
  showDirector.wordTimer = 5000 - 600;
  Frame(HeadlineJolt, 0);
  EXPECT_EQ(showDirector.wordIndex, 0);  // exactly 600 ms is not more
  fakeSystem.now = 5001;
  showDirector.wordTimer = 5000 - 600;
  Frame(HeadlineJolt, 0);
  EXPECT_EQ(showDirector.wordIndex, 1);
  EXPECT_EQ(showDirector.wordTimer, 5004u);  // a fresh reading
}

TEST_F(HeadlineTest, FromTheSecondCycleTheRedPulseBlobsAndGlowTrainJoinIn) {
  LoadSlideDeck();
  showDirector.joltCycles = 1;
  showDirector.trainX = -1.0f;
  showDirector.wordTimer = fakeSystem.now;
  Frame(HeadlineJolt, 0, 20);
  float train = -1.0f + 20 * 0.0007f;
  EXPECT_EQ(showDirector.trainX, train);
  // sin of 0, pi/2, pi, 3pi/2: v = 127, 254, 127, 0.
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours,
            (std::vector<D3DCOLOR>{0xFF400000, 0xFFC00000, 0xFF400000, 0xFF000000}));
  auto blobs = CallsNamed("DrawRockBlob");
  ASSERT_EQ(blobs.size(), 2u);
  EXPECT_EQ(blobs[0].values, (std::vector<float>{-0.5f, 0.0f, 0.5f, 0.0f}));
  EXPECT_EQ(blobs[1].values[2], 0.3f);
  auto glows = CallsNamed("DrawGlow");
  ASSERT_EQ(glows.size(), 5u);
  const D3DCOLOR colours[5] = {0xFF7F7F00, 0xFF9F9F00, 0xFFBFBF00, 0xFFDFDF00, 0xFFFFFF00};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(glows[i].colours[0], colours[i]);
    EXPECT_NEAR(glows[i].values[0], train - 0.8f + 0.2f * i, 1e-6);
    EXPECT_NEAR(glows[i].values[1], -0.5f + 0.1f * i, 1e-6);
    EXPECT_NEAR(glows[i].values[2], 1.75f - 0.25f * i, 1e-6);
  }
  // The blobs turn both ways at t / 200.
  Frame(HeadlineJolt, 300, 20);
  EXPECT_EQ(CallsNamed("DrawRockBlob")[0].values[3], 1.5f);
  EXPECT_EQ(CallsNamed("DrawRockBlob")[1].values[3], -1.5f);
}

TEST_F(HeadlineTest, TheFrameAfterTheLastWordDrawsTheLineAtRestAndEndsTheCycle) {
  fakeSystem.strings[200] = "one two";
  LoadSlideDeck();
  showDirector.wordIndex = 2;
  showDirector.wordTimer = fakeSystem.now;
  Frame(HeadlineJolt, 0);
  for (auto& g : CallsNamed("DrawGlyph")) {
    EXPECT_EQ(g.colours[0], 0xFFFFFFFFu);
    EXPECT_EQ(g.values[2], 2.0f);
  }
  EXPECT_EQ(showDirector.joltCycles, 1);
  EXPECT_EQ(showDirector.wordIndex, 0);
}

TEST_F(HeadlineTest, FlyOutFadesWhiteToBlackAndSendsFourCopiesOfEachLetterForward) {
  fakeSystem.strings[200] = "ab";
  LoadSlideDeck();
  showDirector.headlineDepth = 2.0f;
  Frame(HeadlineFlyOut, 0, 1000);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"BeginScene", "FillScreen", "DrawBulb", "DrawGlow", "DrawGlyph",
                                                   "DrawGlyph", "DrawGlyph", "DrawGlyph", "DrawGlyph", "DrawGlyph",
                                                   "DrawGlyph", "DrawGlyph", "EndScene", "Flip"}));
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours, std::vector<D3DCOLOR>(4, 0xFFFFFFFF));
  EXPECT_EQ(CallsNamed("DrawBulb")[0].colours[0], 0xFFFFFFFFu);
  EXPECT_EQ(CallsNamed("DrawBulb")[0].values, (std::vector<float>{0.0f, 0.0f, 24.0f, 0.0f}));
  auto glyphs = CallsNamed("DrawGlyph");
  // d = 1000: "a" at 1.9 and copies at 1.4, 0.9, 0.4; "b" at 1.8 + 0.2 = 2.0, held at 2.
  const double z[8] = {1.9, 1.4, 0.9, 0.4, 2.0, 1.5, 1.0, 0.5};
  for (int i = 0; i < 8; ++i) {
    EXPECT_NEAR(glyphs[i].values[2], z[i], 1e-5) << i;
    EXPECT_EQ(glyphs[i].colours[0], 0xFFFFFFFFu);
  }
  EXPECT_NEAR(showDirector.headlineDepth, 1.8f, 1e-6);

  Frame(HeadlineFlyOut, 1000, 10);  // v = 92
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours[0], GreyOf(255 - 92));
  EXPECT_EQ(CallsNamed("DrawGlow")[0].colours[0], 0xFFFF0000u + (255 - 92) * 0x101u);
  EXPECT_NEAR(CallsNamed("DrawGlow")[0].values[2], 24.0 - 8.7272, 1e-4);
  EXPECT_NEAR(CallsNamed("DrawGlow")[0].values[3], 6.2831854, 1e-5);

  Frame(HeadlineFlyOut, 2751, 10);  // the fade stops at 255
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours[0], 0xFF000000u);
  EXPECT_EQ(CallsNamed("DrawBulb")[0].colours[0], 0xFFFF0000u);
}
