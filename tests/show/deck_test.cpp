#include <cstring>

#include "show_fixture.h"

using DeckTest = ShowTest;

static const char* Slot(int slide, int slot) { return slideDeck + slide * 2304 + slot * 256; }

TEST_F(DeckTest, TheShippedTableGivesFiveSlidesWithTheirBulletsAndAClosingRecord) {
  ASSERT_EQ(LoadSlideDeck(), 1);
  const int bullets[5] = {5, 4, 4, 5, 5};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(std::string(Slot(i, 0)), fakeSystem.strings[200 + i]);
    for (int j = 0; j < bullets[i]; ++j) EXPECT_EQ(std::string(Slot(i, 1 + j)), fakeSystem.strings[210 + 10 * i + j]);
    EXPECT_STREQ(Slot(i, 1 + bullets[i]), "z");
  }
  EXPECT_STREQ(Slot(5, 0), "z");
  EXPECT_STREQ(SlideHeadline(0), "Fastest Particles in the Universe");
  EXPECT_STREQ(SlideBullet(0, 4), "ZodevaVodor '99 winning ZedadAzi Buddy technology");
}

TEST_F(DeckTest, AMissingFirstHeadlineGivesAnEmptyDeckThatStillLoads) {
  fakeSystem.strings.erase(200);
  ASSERT_EQ(LoadSlideDeck(), 1);
  EXPECT_STREQ(SlideHeadline(0), "z");
}

TEST_F(DeckTest, AGapOrAnEarlyMarkerEndsTheListAndLaterStringsAreNotLoaded) {
  fakeSystem.strings.erase(212);
  fakeSystem.strings[221] = "z";
  fakeSystem.strings[202] = "";  // empty reads as missing
  ASSERT_EQ(LoadSlideDeck(), 1);
  EXPECT_STREQ(Slot(0, 3), "z");
  EXPECT_NE(std::strncmp(Slot(0, 4), fakeSystem.strings[213].c_str(), 256), 0);
  EXPECT_STREQ(Slot(1, 1), fakeSystem.strings[220].c_str());
  EXPECT_STREQ(Slot(1, 2), "z");
  EXPECT_STREQ(Slot(2, 0), "z");
}

TEST_F(DeckTest, ASecondLoadKeepsTheFirstDeckAndFreeingTwiceIsHarmless) {
  ASSERT_EQ(LoadSlideDeck(), 1);
  char* first = slideDeck;
  fakeSystem.strings[200] = "Another headline";
  EXPECT_EQ(LoadSlideDeck(), 1);
  EXPECT_EQ(slideDeck, first);
  EXPECT_STREQ(SlideHeadline(0), "Fastest Particles in the Universe");
  FreeSlideDeck();
  EXPECT_EQ(slideDeck, nullptr);
  EXPECT_STREQ(SlideHeadline(0), "z");
  FreeSlideDeck();
  EXPECT_EQ(LoadSlideDeck(), 1);
  EXPECT_STREQ(SlideHeadline(0), "Another headline");
}

TEST_F(DeckTest, ATableLargerThanTheBlockKeepsEveryListClosedInside) {
  fakeSystem.strings.clear();
  for (int i = 0; i < 9; ++i) {  // ids stay clear of the bullets from 210
    fakeSystem.strings[200 + i] = "headline " + std::to_string(i);
    for (int j = 0; j < 10; ++j) fakeSystem.strings[210 + 10 * i + j] = "bullet " + std::to_string(j);
  }
  fakeSystem.strings[206] = std::string(300, 'x');  // longer than a slot
  ASSERT_EQ(LoadSlideDeck(), 1);
  for (int i = 0; i < 7; ++i) {
    for (int j = 0; j < 7; ++j) EXPECT_STREQ(Slot(i, 1 + j), ("bullet " + std::to_string(j)).c_str());
    EXPECT_STREQ(Slot(i, 8), "z");
  }
  EXPECT_EQ(std::string(Slot(6, 0)), std::string(255, 'x'));
  EXPECT_STREQ(Slot(7, 0), "z");
  // Nothing outside the block is handed out.
  EXPECT_STREQ(SlideHeadline(8), "z");
  EXPECT_STREQ(SlideBullet(0, 8), "z");
}
