#include "show_fixture.h"

using BulletTest = ShowTest;

TEST_F(BulletTest, TypingFadesLettersInLeftToRightOverTheRedBackdrop) {
  LoadSlideDeck();
  showDirector.bulletIndex = 2;
  Frame(BulletTyping, 100, 10);
  auto names = CallNames();
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
            (std::vector<std::string>{"BeginScene", "FillScreen", "DrawBackdrop", "DrawString", "DrawString"}));
  EXPECT_EQ(CallsNamed("FillScreen")[0].colours, std::vector<D3DCOLOR>(4, 0xFF000000));
  EXPECT_EQ(CallsNamed("DrawBackdrop")[0].colours[0], 0xFFFF0000u);
  auto done = CallsNamed("DrawString");
  EXPECT_EQ(done[1].text, SlideBullet(0, 1));
  EXPECT_EQ(done[1].values, (std::vector<float>{-2.75f, 1.1f, 3.0f}));
  EXPECT_EQ(done[1].colours[0], 0xFFFFFFFFu);
  // t = 100: brightness 25.5 for the first letter, 5 less for each next one.
  auto glyphs = CallsNamed("DrawGlyph");
  ASSERT_EQ(glyphs.size(), std::string(SlideBullet(0, 2)).size());
  const DWORD greys[7] = {25, 20, 15, 10, 5, 0, 0};
  for (int j = 0; j < 7; ++j) {
    EXPECT_EQ(glyphs[j].colours[0], GreyOf(greys[j])) << j;
    EXPECT_NEAR(glyphs[j].values[0], -2.75f + j * 0.105f, 1e-5);
    EXPECT_NEAR(glyphs[j].values[1], 0.7f, 1e-6);
    EXPECT_EQ(glyphs[j].values[2], 3.0f);
  }
}

TEST_F(BulletTest, ABulletIsDoneWhenItsLastLetterReachesFullWhite) {
  fakeSystem.strings[210] = "x";
  LoadSlideDeck();
  Frame(BulletTyping, 1000);  // the factor is a hair under 0.255: 254
  EXPECT_EQ(CallsNamed("DrawGlyph")[0].colours[0], GreyOf(254));
  EXPECT_EQ(showDirector.bulletIndex, 0);
  Frame(BulletTyping, 1001);
  EXPECT_EQ(showDirector.bulletIndex, 1);

  showDirector.bulletIndex = 4;  // 49 letters: done at 1942 ms
  Frame(BulletTyping, 1941);
  EXPECT_EQ(shell.showPhase, BulletTyping);
  Frame(BulletTyping, 1942);
  EXPECT_EQ(shell.showPhase, BulletHold);
}

TEST_F(BulletTest, HoldShowsThePageAndLeavesTheIndexAtTheBulletCount) {
  LoadSlideDeck();
  Frame(BulletHold, 100);
  auto lines = CallsNamed("DrawString");
  ASSERT_EQ(lines.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(lines[i].text, SlideBullet(0, i));
    EXPECT_NEAR(lines[i].values[1], 1.5f - 0.4f * i, 1e-6);
  }
  EXPECT_NEAR(lines[4].values[1], -0.1f, 1e-6);
  EXPECT_EQ(showDirector.bulletIndex, 5);
}

TEST_F(BulletTest, SpinTumblesEveryLetterByTheBackdropPhasesBeforeTheOncomingBulb) {
  LoadSlideDeck();
  showDirector.slideIndex = 1;
  showDirector.backdropPhases[0] = 0.5f;
  Frame(BulletSpin, 1000, 10);
  auto names = CallNames();
  EXPECT_EQ(names[1], "FillScreen");
  EXPECT_EQ(names[2], "DrawBackdrop");
  EXPECT_EQ(names[names.size() - 4], "DrawBulb");
  EXPECT_EQ(names[names.size() - 3], "DrawGlow");
  auto lines = CallsNamed("DrawRotatedString");
  ASSERT_EQ(lines.size(), 4u);
  const float* p = showDirector.backdropPhases;
  EXPECT_EQ(lines[3].values, (std::vector<float>{-2.75f, 1.5f - 3 * 0.4f, 3.0f, p[0], p[1], p[2]}));
  EXPECT_EQ(CallsNamed("DrawBulb")[0].colours[0], 0xFFFF0000u + (255 - 92) * 0x101u);
  Frame(BulletSpin, 2751, 10);
  EXPECT_EQ(CallsNamed("DrawBulb")[0].colours[0], 0xFFFF0000u);
  EXPECT_EQ(CallsNamed("DrawGlow")[0].colours[0], 0xFFFF0000u);
}

TEST_F(BulletTest, BackdropPhasesAdvanceAtTheirRatesAndLoseOneTurnPerFrame) {
  LoadSlideDeck();
  Frame(BulletHold, 0, 100);
  auto b = CallsNamed("DrawBackdrop")[0];
  EXPECT_EQ(b.values, (std::vector<float>{100 * 0.00314f, 100 * 0.00414f, 100 * 0.00214f, 100 * 0.00384f}));

  // 4000 ms at 0.00414 is 16.56 rad: one frame takes one turn away, each later frame another.
  ResetShowDirector();
  Frame(BulletHold, 0, 4000);
  float after = 4000 * 0.00414f - 6.2831855f;
  EXPECT_EQ(showDirector.backdropPhases[1], after);
  Frame(BulletHold, 0, 1);
  EXPECT_EQ(showDirector.backdropPhases[1], after + 0.00414f - 6.2831855f);
  Frame(BulletHold, 0, 1);
  EXPECT_LT(showDirector.backdropPhases[1], 6.2831855f);
}
