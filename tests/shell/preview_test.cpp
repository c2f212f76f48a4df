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
    for (int i = 0; i < PreviewFrameCount; ++i)
      previewFrames[i] = (HBITMAP)LoadImageA(shell.instance, MAKEINTRESOURCEA(101 + i), IMAGE_BITMAP, 0, 0, 0);
  }
  HWND MakeWindow(int width, int height) {
    auto* w = new FakeWindow;
    w->rect = {300, 200, 300 + width, 200 + height};
    fakeSystem.windows.push_back(w);
    return (HWND)w;
  }
  std::vector<std::string> Paint(HWND window) {
    ClearRecordedCalls();
    PreviewWindowProc(window, WM_PAINT, 0, 0);
    return CallsStartingWith("BitBlt");
  }
};
}  // namespace

TEST_F(Preview, PaintCentresTheFrameWithSignedHalvingSoSmallHostsCropItEvenly) {
  EXPECT_EQ(Paint(MakeWindow(152, 112)), std::vector<std::string>{"BitBlt(12,8,128,96,bitmap 101,0,0,13369376)"});
  EXPECT_EQ(Paint(MakeWindow(100, 80)), std::vector<std::string>{"BitBlt(-14,-8,128,96,bitmap 101,0,0,13369376)"});
  EXPECT_EQ(Paint(MakeWindow(101, 95)), std::vector<std::string>{"BitBlt(-13,0,128,96,bitmap 101,0,0,13369376)"});
  EXPECT_EQ(fakeGdi.liveDcs, 0);
}

TEST_F(Preview, EachTickShowsTheNextFrameWithoutErasingAndFrameZeroFollowsFrameNine) {
  HWND window = MakeWindow(152, 112);
  for (int tick = 1; tick <= 11; ++tick) {
    ClearRecordedCalls();
    PreviewWindowProc(window, WM_TIMER, 7, 0);  // any timer id counts
    EXPECT_EQ(CallsStartingWith("InvalidateRect"), std::vector<std::string>{"InvalidateRect(all,0)"});
    std::string bitmap = "bitmap " + std::to_string(101 + tick % 10) + ",";
    EXPECT_NE(Paint(window).at(0).find(bitmap), std::string::npos) << tick;
  }
}

// Windows asks again at once, for ever, until a paint request is answered.
TEST_F(Preview, AMissingFrameOrMemoryContextDrawsNothingButStillAnswersThePaint) {
  HWND window = MakeWindow(152, 112);
  previewFrames[2] = nullptr;
  previewFrame = 2;
  EXPECT_TRUE(Paint(window).empty());
  EXPECT_EQ(RecordedCalls(), (std::vector<std::string>{"BeginPaint", "EndPaint"}));
  previewFrame = 3;
  fakeGdi.createDcFails = true;
  EXPECT_TRUE(Paint(window).empty());
  EXPECT_TRUE(CallMade("EndPaint"));
}

TEST_F(Preview, TheChildFillsTheHostAndItsDestructionEndsTheModeWithEveryFrameDeleted) {
  ResetFakeGdi();
  fakeGdi.missingBitmaps = {105};
  shell.parentWindow = MakeWindow(152, 112);
  fakeSystem.onEmptyQueue = [] { DestroyWindow(shell.mainWindow); };
  RunPreview();

  EXPECT_EQ(CallsStartingWith("LoadImageA").at(0), "LoadImageA(101,0,0,0,0)");
  CallPlace created = FindCall("CreateWindowExA(0,glmzpreview,Glimmerz Preview,1073741824,0,0,152,112)");
  ASSERT_GT(created, FindCall("RegisterClassExA(glmzpreview,size)"));
  EXPECT_EQ(FakeWindowOf(shell.mainWindow)->parent, shell.parentWindow);
  EXPECT_EQ(fakeSystem.classes["glmzpreview"].hbrBackground, (HBRUSH)GetStockObject(WHITE_BRUSH));
  EXPECT_GT(FindCall("SetTimer(1,66)", created), created);
  EXPECT_GT(FindCall("ShowWindow(1)", created), created);
  CallPlace killed = FindCall("KillTimer(1)");
  EXPECT_GT(FindCall("PostQuitMessage(0)", killed), killed);
  EXPECT_EQ(CallsStartingWith("DeleteObject").size(), 9u);
  EXPECT_TRUE(fakeGdi.liveBitmaps.empty());

  // A host that cannot take the child: nothing runs, and the frames still go.
  ResetFakeSystem();
  fakeSystem.createWindowFails = true;
  fakeSystem.onEmptyQueue = [] { ADD_FAILURE() << "the loop ran without a window"; };
  RunPreview();
  EXPECT_EQ(CallsStartingWith("DeleteObject").size(), 9u);
}
