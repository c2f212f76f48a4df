#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/fake_gdi.h"
#include "support/fake_win32.h"

namespace {
class Preview : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakeSystem();
    ResetFakeGdi();
    ResetShellState((HINSTANCE)(uintptr_t)0x400000);
    previewFrame = 0;
  }
  void TearDown() override {
    for (HBITMAP& frame : previewFrames) frame = nullptr;
  }
  HWND MakeWindow(int width, int height) {
    auto* w = new FakeWindow;
    w->rect = {300, 200, 300 + width, 200 + height};
    fakeSystem.windows.push_back(w);
    return (HWND)w;
  }
  void LoadFrames() {
    for (int i = 0; i < PreviewFrameCount; ++i)
      previewFrames[i] = (HBITMAP)LoadImageA(shell.instance, MAKEINTRESOURCEA(101 + i), IMAGE_BITMAP, 0, 0, 0);
  }
  void Paint(HWND window) {
    ClearRecordedCalls();
    PreviewWindowProc(window, WM_PAINT, 0, 0);
  }
};
}  // namespace

TEST_F(Preview, PaintCentresTheFrameWithSignedHalvingThatCropsSmallHostsEvenly) {
  LoadFrames();
  struct Case {
    int width, height;
    const char* blit;
  };
  const Case cases[] = {{152, 112, "BitBlt(12,8,128,96,bitmap 101,0,0,13369376)"},
                        {100, 80, "BitBlt(-14,-8,128,96,bitmap 101,0,0,13369376)"},
                        {101, 95, "BitBlt(-13,0,128,96,bitmap 101,0,0,13369376)"}};
  for (const Case& c : cases) {
    Paint(MakeWindow(c.width, c.height));
    EXPECT_EQ(CallsStartingWith("BitBlt"), std::vector<std::string>{c.blit}) << c.width << "x" << c.height;
    EXPECT_LT(FindCall("BeginPaint"), FindCall("BitBlt"));
    EXPECT_LT(FindCall("BitBlt"), FindCall("EndPaint"));
    EXPECT_EQ(fakeGdi.liveDcs, 0);
  }
}

TEST_F(Preview, EachTimerTickShowsTheNextFrameWithoutErasingAndFrameZeroFollowsFrameNine) {
  LoadFrames();
  HWND window = MakeWindow(152, 112);
  std::vector<std::string> shown;
  for (int tick = 0; tick < 11; ++tick) {
    ClearRecordedCalls();
    EXPECT_EQ(PreviewWindowProc(window, WM_TIMER, 7, 0), 0);  // any timer id counts
    EXPECT_EQ(CallsStartingWith("InvalidateRect"), std::vector<std::string>{"InvalidateRect(all,0)"});
    Paint(window);
    shown.push_back(CallsStartingWith("SelectObject").at(0));
  }
  EXPECT_EQ(shown[8], "SelectObject(110)");
  EXPECT_EQ(shown[9], "SelectObject(101)");
  EXPECT_EQ(shown[10], "SelectObject(102)");
}

TEST_F(Preview, AMissingFrameOrMemoryContextDrawsNothingButStillAnswersThePaint) {
  fakeGdi.missingBitmaps = {103};
  LoadFrames();
  HWND window = MakeWindow(152, 112);
  previewFrame = 2;
  Paint(window);
  EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"BeginPaint", "EndPaint"}));

  previewFrame = 3;
  fakeGdi.createDcFails = true;
  Paint(window);
  EXPECT_EQ(CallsStartingWith("BitBlt").size(), 0u);
  EXPECT_GE(FindCall("EndPaint"), 0);
}

TEST_F(Preview, DestroyingTheHostsChildEndsTheModeAndDeletesEveryLoadedFrame) {
  fakeGdi.missingBitmaps = {105};
  shell.parentWindow = MakeWindow(152, 112);
  fakeSystem.onEmptyQueue = [] { DestroyWindow(shell.mainWindow); };
  RunPreview();

  EXPECT_EQ(CallsStartingWith("LoadImageA").size(), 10u);
  EXPECT_EQ(CallsStartingWith("LoadImageA").at(0), "LoadImageA(101,0,0,0,0)");
  EXPECT_GE(FindCall("RegisterClassExA(glmzpreview,48)"), 0);
  int created = FindCall("CreateWindowExA(0,glmzpreview,Glimmerz Preview,1073741824,0,0,152,112)");
  ASSERT_GE(created, 0);
  FakeWindow* child = FakeWindowOf(shell.mainWindow);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(child->parent, shell.parentWindow);
  const WNDCLASSEXA& windowClass = fakeSystem.classes["glmzpreview"];
  EXPECT_EQ(windowClass.hbrBackground, (HBRUSH)GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_GT(FindCall("SetTimer(1,66)", created), created);
  EXPECT_GT(FindCall("ShowWindow(1)", created), created);

  int killed = FindCall("KillTimer(1)");
  EXPECT_GT(FindCall("PostQuitMessage(0)", killed), killed);
  EXPECT_EQ(CallsStartingWith("DeleteObject").size(), 9u);
  EXPECT_GT(FindCall("DeleteObject"), killed);
  EXPECT_TRUE(fakeGdi.liveBitmaps.empty());
  for (HBITMAP frame : previewFrames) EXPECT_EQ(frame, nullptr);
}

TEST_F(Preview, AHostThatCannotTakeTheChildEndsTheModeAtOnceAndStillFreesTheFrames) {
  fakeSystem.createWindowFails = true;
  RunPreview();
  EXPECT_EQ(FindCall("SetTimer"), -1);
  EXPECT_EQ(CallsStartingWith("DeleteObject").size(), 10u);
  EXPECT_TRUE(fakeGdi.liveBitmaps.empty());
}
