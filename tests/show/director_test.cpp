#include <cstring>
#include <functional>
#include <set>

#include "show_fixture.h"

using DirectorTest = ShowTest;

TEST_F(DirectorTest, AFrameIsBegunDrawnEndedAndFlippedWithWait) {
  LoadSlideDeck();
  Frame(SignFade, 10);
  auto names = CallNames();
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names, (std::vector<std::string>{"BeginScene", "FillScreen", "DrawSign", "EndScene", "Flip"}));
  EXPECT_EQ(drawCalls.back().text, "");  // no override surface
  EXPECT_EQ(drawCalls.back().colours, std::vector<D3DCOLOR>{DDFLIP_WAIT});
}

TEST_F(DirectorTest, WithoutSurfaceViewportOrDeviceNothingHappensAtAll) {
  LoadSlideDeck();
  for (int missing = 0; missing < 3; ++missing) {
    InstallSceneDevice();
    if (missing == 0) renderDevice.primarySurface = nullptr;
    if (missing == 1) renderDevice.viewport = nullptr;
    if (missing == 2) renderDevice.device = nullptr;
    shell.clock.phaseStart = 77;
    Frame(SignFade, 9000);
    EXPECT_TRUE(drawCalls.empty());
    EXPECT_EQ(shell.showPhase, SignFade);
    EXPECT_EQ(shell.clock.phaseStart, 77u);
  }
}

TEST_F(DirectorTest, PhaseFourAndPhasesOutsideTheShowDrawNothingButStillFlip) {
  LoadSlideDeck();
  for (int32_t phase : {4, 0, -1, 11, 1000}) {
    Frame(phase, 100000);
    EXPECT_EQ(CallNames(), (std::vector<std::string>{"BeginScene", "EndScene", "Flip"})) << phase;
    EXPECT_EQ(shell.showPhase, phase);
  }
}

// Runs one frame at t - 1 and one at t; the first must keep the phase, the
// second must leave it for next, restarting the clock from the timer.
static void ExpectEndsAt(ShowTest* test, std::function<void(DWORD)> frame, int32_t phase, DWORD t, int32_t next) {
  fakeSystem.now = 50000;
  shell.clock.phaseStart = 1;
  frame(t - 1);
  EXPECT_EQ(shell.showPhase, phase) << "at " << t - 1;
  frame(t);
  EXPECT_EQ(shell.showPhase, next) << "at " << t;
  EXPECT_EQ(shell.clock.phaseStart, 50000u);
  EXPECT_EQ(shell.clock.phaseElapsed, 0u);
}

TEST_F(DirectorTest, TimedPhasesEndOnTheFirstFramePastTheirLimit) {
  LoadSlideDeck();
  auto at = [this](int32_t phase) { return [this, phase](DWORD t) { Frame(phase, t); }; };
  ExpectEndsAt(this, at(SignFade), SignFade, 5001, BulbTitle);
  ExpectEndsAt(this, at(BulbTitle), BulbTitle, 12567, BulbZoom);
  EXPECT_EQ(showDirector.titleDepth, 1.5f);
  showDirector.wordIndex = 3;
  showDirector.joltCycles = 2;
  ExpectEndsAt(this, at(HeadlineFlyIn), HeadlineFlyIn, 2751, HeadlineJolt);
  EXPECT_EQ(showDirector.wordIndex, 0);
  EXPECT_EQ(showDirector.joltCycles, 0);
  EXPECT_EQ(showDirector.wordTimer, 50000u);
  showDirector.bulletIndex = 4;
  ExpectEndsAt(this, at(HeadlineFlyOut), HeadlineFlyOut, 2751, BulletTyping);
  EXPECT_EQ(showDirector.bulletIndex, 0);
  ExpectEndsAt(this, at(BulletHold), BulletHold, 4001, BulletSpin);
  ExpectEndsAt(this, at(BulletSpin), BulletSpin, 2751, HeadlineFlyIn);
  EXPECT_EQ(showDirector.slideIndex, 1);
  EXPECT_EQ(showDirector.bulletIndex, 0);
  EXPECT_EQ(showDirector.headlineDepth, 0.01f);
  EXPECT_EQ(showDirector.wordTimer, 50000u);
}

TEST_F(DirectorTest, TheZoomEndsWhenTheDepthFallsBelowTheNearPlaneAfter1490Ms) {
  LoadSlideDeck();
  showDirector.titleDepth = 1.5f;
  showDirector.slideIndex = 3;
  int frames = 0;
  while (shell.showPhase != HeadlineFlyIn && frames < 2000) Frame(BulbZoom, ++frames, 1);
  EXPECT_EQ(frames, 1490);
  EXPECT_EQ(showDirector.slideIndex, 0);
}

TEST_F(DirectorTest, TheJoltEndsAtACycleEndOnlyWithTheTrainPastAQuarter) {
  fakeSystem.strings[200] = "Word";
  LoadSlideDeck();
  showDirector.wordIndex = 1;  // past the only word: this frame ends a cycle
  showDirector.joltCycles = 0;
  Frame(HeadlineJolt, 10);
  EXPECT_EQ(showDirector.trainX, -1.5f);  // the first cycle end only places the train
  EXPECT_EQ(showDirector.joltCycles, 1);
  EXPECT_EQ(showDirector.wordIndex, 0);
  EXPECT_EQ(shell.showPhase, HeadlineJolt);

  showDirector.wordIndex = 1;
  showDirector.trainX = 0.249f;  // moves to 0.2497 this frame
  Frame(HeadlineJolt, 10, 1);
  EXPECT_EQ(shell.showPhase, HeadlineJolt);
  showDirector.wordIndex = 1;
  showDirector.trainX = 0.2496f;  // moves to 0.2503
  Frame(HeadlineJolt, 10, 1);
  EXPECT_EQ(shell.showPhase, HeadlineFlyOut);
  EXPECT_EQ(showDirector.headlineDepth, 2.0f);
  EXPECT_EQ(showDirector.joltCycles, 3);
}

TEST_F(DirectorTest, TypingRestartsTheClockPerBulletAndEndsAfterTheLast) {
  LoadSlideDeck();
  fakeSystem.now = 777;
  Frame(BulletTyping, 100000);
  EXPECT_EQ(shell.showPhase, BulletTyping);
  EXPECT_EQ(showDirector.bulletIndex, 1);
  EXPECT_EQ(shell.clock.phaseStart, 777u);
  showDirector.bulletIndex = 4;
  Frame(BulletTyping, 100000);
  EXPECT_EQ(shell.showPhase, BulletHold);
  EXPECT_EQ(showDirector.bulletIndex, 5);
}

// A whole run driven like the saver's frame tick, summarised per frame as the
// phase and a hash of everything drawn.
static std::vector<std::pair<int32_t, size_t>> RunShow(int frames, DWORD d, std::function<void(DWORD)> tick) {
  std::vector<std::pair<int32_t, size_t>> summary;
  std::srand(7);
  for (int i = 0; i < frames; ++i) {
    tick(d);
    std::string all;
    for (auto& c : drawCalls) {
      all += c.name + c.text;
      for (float v : c.values) all.append((const char*)&v, sizeof v);
      for (D3DCOLOR v : c.colours) all.append((const char*)&v, sizeof v);
    }
    summary.emplace_back(shell.showPhase, std::hash<std::string>()(all));
  }
  return summary;
}

TEST_F(DirectorTest, AWholePassEndsBackAtTheSignAndATimerWrappingPast2To32ChangesNothing) {
  LoadSlideDeck();
  auto tick = [this](DWORD d) { Tick(d); };
  const int frames = 16000;  // 160 s at 10 ms: more than one pass
  StartShow(1000);
  auto plain = RunShow(frames, 10, tick);
  float phasesAfter = showDirector.backdropPhases[1];

  std::vector<int32_t> visited;
  for (auto& f : plain)
    if (visited.empty() || visited.back() != f.first) visited.push_back(f.first);
  std::vector<int32_t> expected = {1, 2, 3};
  for (int slide = 0; slide < 5; ++slide) expected.insert(expected.end(), {5, 6, 7, 8, 9, 10});
  expected.push_back(1);
  ASSERT_GE(visited.size(), expected.size());
  visited.resize(expected.size());
  EXPECT_EQ(visited, expected);

  // Wrapping in the first frame, in the first jolt, and among the second slide's bullets.
  for (DWORD before : {5u, 23000u, 60000u}) {
    ResetShowDirector();
    StartShow(0u - before);
    auto wrapped = RunShow(frames, 10, tick);
    EXPECT_TRUE(plain == wrapped) << "wrapping after " << before << " ms";
    EXPECT_EQ(showDirector.backdropPhases[1], phasesAfter);
  }
}

TEST_F(DirectorTest, AfterTheLastSlideTheSignReturnsAndTheBackdropRunsOn) {
  LoadSlideDeck();
  showDirector.slideIndex = 4;
  showDirector.backdropPhases[0] = 1.0f;
  showDirector.headlineDepth = 0.7f;
  Frame(BulletSpin, 2751, 10);
  EXPECT_EQ(shell.showPhase, SignFade);
  EXPECT_EQ(showDirector.slideIndex, 0);
  EXPECT_EQ(showDirector.headlineDepth, 0.01f);
  EXPECT_FLOAT_EQ(showDirector.backdropPhases[0], 1.0f + 10 * 0.00314f);
}

TEST_F(DirectorTest, AnEmptyDeckLoopsTheOpeningWithoutShowingTheMarker) {
  fakeSystem.strings.erase(200);
  LoadSlideDeck();
  StartShow(5);
  std::set<int32_t> seen;
  for (int i = 0; i < 4000; ++i) {  // two passes of the opening at 10 ms
    Tick(10);
    seen.insert(shell.showPhase);
    EXPECT_EQ(CallsNamed("DrawGlyph").size() + CallsNamed("DrawString").size(), 0u);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{SignFade, BulbTitle, BulbZoom}));
}

TEST_F(DirectorTest, AHeadlineWithoutBulletsGoesFromItsFlyOutStraightOn) {
  fakeSystem.strings.erase(210);  // the first headline has no bullets
  fakeSystem.strings.erase(220);  // nor the second
  fakeSystem.strings[202] = "z";  // and it is the last
  LoadSlideDeck();
  Frame(HeadlineFlyOut, 2751);
  EXPECT_EQ(shell.showPhase, HeadlineFlyIn);
  EXPECT_EQ(showDirector.slideIndex, 1);
  Frame(HeadlineFlyOut, 2751);
  EXPECT_EQ(shell.showPhase, SignFade);
  EXPECT_EQ(showDirector.slideIndex, 0);
}

TEST_F(DirectorTest, NoSlotBeyondAMarkerIsEverRead) {
  fakeSystem.strings.erase(222);  // a short list too
  LoadSlideDeck();
  // Whatever the block holds past each marker must never reach the screen.
  bool closed = false;
  for (int slide = 0; slide < 8; ++slide) {
    bool listClosed = closed;
    for (int slot = 0; slot < 9; ++slot) {
      char* p = slideDeck + slide * 2304 + slot * 256;
      if (listClosed) {
        std::memset(p, 0x7F, 255);
        p[255] = 0;
      } else if (IsEndMarker(p)) {
        listClosed = true;
        if (slot == 0) closed = true;  // the deck's end: every later record too
      }
    }
  }
  StartShow(0);
  for (int i = 0; i < 14000; ++i) {
    Tick(10);
    ASSERT_EQ(TextDrawn().find('\x7F'), std::string::npos) << "phase " << shell.showPhase;
  }
}
