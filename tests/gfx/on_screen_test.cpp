// The primitives drawn through the real port (OpenGL under a virtual X
// display), read back from the presented picture: where the quads land, how
// each draw mode blends, and what text looks like.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "directx/directx_internal.h"
#include "gfx/gfx.h"
#include "shell/shell.h"

ShellState shell;

namespace {

struct Rgb {
  int r, g, b;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // top row first
  Rgb At(int x, int y) const {
    const uint8_t* p = &rgba[((size_t)y * width + x) * 4];
    return {p[0], p[1], p[2]};
  }
  bool Lit(int x, int y) const {
    const Rgb c = At(x, y);
    return c.r > 8 || c.g > 8 || c.b > 8;
  }
  // The box around every lit pixel; false when none is lit.
  bool LitBox(int* left, int* top, int* right, int* bottom) const {
    *left = width, *top = height, *right = -1, *bottom = -1;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (Lit(x, y)) {
          *left = std::min(*left, x), *right = std::max(*right, x);
          *top = std::min(*top, y), *bottom = std::max(*bottom, y);
        }
    return *right >= 0;
  }
  int LitCount() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) n += Lit(x, y);
    return n;
  }
};

const D3DCOLOR Black = 0xFF000000;
const D3DCOLOR White = 0xFFFFFFFF;

class OnScreen : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSEXA saverClass = {};
    saverClass.cbSize = sizeof(saverClass);
    saverClass.lpfnWndProc = DefWindowProcA;
    saverClass.lpszClassName = "glmzsaver";
    RegisterClassExA(&saverClass);
    CoInitialize(nullptr);
  }

  void SetUp() override {
    shell.mainWindow = CreateWindowExA(WS_EX_TOPMOST, "glmzsaver", "Glimmerz", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                                       nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, shell.mainWindow);
    renderDevice.displayWidth = 640;
    renderDevice.displayHeight = 480;
    renderDevice.displayBpp = 32;  // no dithering: colours come out exact
    KeepPresentedPictures(true);   // frames are read after their present
    ASSERT_EQ(1, SetUpRenderDevice());
  }
  void TearDown() override {
    TearDownRenderDevice();
    DestroyWindow(shell.mainWindow);
  }

  template <class Draw>
  Picture Frame(Draw draw) {
    renderDevice.device->BeginScene();
    draw();
    renderDevice.device->EndScene();
    renderDevice.primarySurface->Flip(nullptr, DDFLIP_WAIT);
    Picture picture;
    picture.width = (int)renderDevice.displayWidth;
    picture.height = (int)renderDevice.displayHeight;
    picture.rgba = ReadPresentedPicture();
    EXPECT_EQ((size_t)picture.width * picture.height * 4, picture.rgba.size());
    return picture;
  }
};

void ExpectNear(Rgb expected, Rgb actual, int tolerance, const char* where) {
  EXPECT_NEAR(expected.r, actual.r, tolerance) << where;
  EXPECT_NEAR(expected.g, actual.g, tolerance) << where;
  EXPECT_NEAR(expected.b, actual.b, tolerance) << where;
}

TEST_F(OnScreen, ABulbTwoUnitsAwayCoversItsRectangleAroundTheCentre) {
  // An opaque picture in the bulb's slot makes the whole quad visible: at depth
  // 2 it spans x 264..376 and y 150.2..329.8 on a 640 x 480 picture.
  ReleaseTexture(&renderDevice.textures[Bulb]);
  ASSERT_EQ(1, CreateTexture(&renderDevice.textures[Bulb], RockBitmap, Opaque));
  currentDrawMode = (DrawMode)0;
  Picture p = Frame([] {
    FillScreen(Black, Black, Black, Black);
    DrawBulb(0, 0, 2, White, 0);
  });
  int left, top, right, bottom;
  ASSERT_TRUE(p.LitBox(&left, &top, &right, &bottom));
  EXPECT_NEAR(264, left, 1);
  EXPECT_NEAR(375, right, 1);
  EXPECT_NEAR(150, top, 1);
  EXPECT_NEAR(329, bottom, 1);
  EXPECT_GT(p.LitCount(), (right - left) * (bottom - top) * 9 / 10) << "the rock fills the quad";

  // A quarter turn lays it on its side: now 1.0 wide and 0.7 tall.
  p = Frame([] {
    FillScreen(Black, Black, Black, Black);
    DrawBulb(0, 0, 2, White, 1.5707964f);
  });
  ASSERT_TRUE(p.LitBox(&left, &top, &right, &bottom));
  EXPECT_NEAR(240, left, 1);
  EXPECT_NEAR(399, right, 1);
  EXPECT_NEAR(177, top, 1);
  EXPECT_NEAR(302, bottom, 1);
}

TEST_F(OnScreen, TheRealBulbStaysInsideItsQuadAndShowsAtTheCentre) {
  Picture p = Frame([] {
    FillScreen(Black, Black, Black, Black);
    DrawBulb(0, 0, 2, White, 0);
  });
  int left, top, right, bottom;
  ASSERT_TRUE(p.LitBox(&left, &top, &right, &bottom));
  EXPECT_GE(left, 263);
  EXPECT_LE(right, 376);
  EXPECT_GE(top, 149);
  EXPECT_LE(bottom, 330);
  EXPECT_TRUE(p.Lit(320, 200));
}

TEST_F(OnScreen, TheGradientPutsOneColourInEachCorner) {
  Picture p = Frame([] { FillScreen(0xFFFF0000, 0xFF00FF00, 0xFF0000FF, White); });
  ExpectNear({255, 0, 0}, p.At(0, 0), 3, "top left");
  ExpectNear({0, 255, 0}, p.At(639, 0), 3, "top right");
  ExpectNear({0, 0, 255}, p.At(639, 479), 3, "bottom right");
  ExpectNear({255, 255, 255}, p.At(0, 479), 3, "bottom left");
}

TEST_F(OnScreen, TheBackdropTakesItsTintFromTheVertexColour) {
  Picture p = Frame([] { DrawBackdrop(0xFFFF0000, 0.3f, 1.1f, 2.0f, 4.0f); });
  int red = 0;
  for (int y = 0; y < 480; y += 7)
    for (int x = 0; x < 640; x += 7) {
      const Rgb c = p.At(x, y);
      ASSERT_EQ(0, c.g) << x << "," << y;
      ASSERT_EQ(0, c.b) << x << "," << y;
      red += c.r > 0;
    }
  EXPECT_GT(red, 90 * 69 * 9 / 10) << "the rock shows nearly everywhere";
}

TEST_F(OnScreen, AGlowAddsLightToWhatLiesBehindIt) {
  Picture p = Frame([] {
    FillScreen(0xFF404040, 0xFF404040, 0xFF404040, 0xFF404040);
    DrawGlow(-0.04f, -0.175f, 2, White, 0);  // glow centred on the screen
  });
  const Rgb centre = p.At(320, 240);
  EXPECT_GT(centre.r, 0x80);
  EXPECT_GT(centre.g, 0x80);
  EXPECT_GT(centre.b, 0x80);
  ExpectNear({0x40, 0x40, 0x40}, p.At(10, 10), 0, "far from the glow");
}

TEST_F(OnScreen, TheSignIsDrawnOpaqueWhateverLiesBehind) {
  auto signOver = [&](D3DCOLOR background) {
    return Frame([background] {
      FillScreen(background, background, background, background);
      DrawSign(0, 0, 3, White, 0);
    });
  };
  const Picture onRed = signOver(0xFFFF0000);
  const Picture onBlue = signOver(0xFF0000FF);
  // At depth 3 the sign spans x 133..507 and y 120..360.
  for (int y = 140; y < 340; y += 5)
    for (int x = 140; x < 500; x += 5) {
      const Rgb a = onRed.At(x, y), b = onBlue.At(x, y);
      ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << "," << y;
    }
  ExpectNear({0, 0, 255}, onBlue.At(20, 20), 0, "outside the sign");
}

TEST_F(OnScreen, ARockBlobIsCutOutByItsMask) {
  Picture p = Frame([] {
    FillScreen(0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF);
    DrawRockBlob(0, 0, 6, White, 0);
  });
  // At depth 6 the 3 x 3 quad spans x 240..400, y 150..330; its corners are
  // outside the round mask.
  ExpectNear({0, 0, 255}, p.At(243, 153), 0, "corner of the quad");
  const Rgb centre = p.At(320, 240);
  EXPECT_FALSE(centre.r == 0 && centre.g == 0 && centre.b == 255) << "the rock covers the middle";
}

TEST_F(OnScreen, LettersShowInTheirVertexColourEvenWithVertexAlphaZero) {
  auto letter = [&](D3DCOLOR colour) {
    return Frame([colour] {
      FillScreen(Black, Black, Black, Black);
      DrawString("W", 0, 0, 1, colour);
    });
  };
  const Picture opaque = letter(0xFF00FF00);
  const Picture clear = letter(0x0000FF00);
  int left, top, right, bottom;
  ASSERT_TRUE(opaque.LitBox(&left, &top, &right, &bottom));
  // The glyph quad spans x 288..352 and y 204..276 at depth 1.
  EXPECT_GE(left, 287);
  EXPECT_LE(right, 352);
  EXPECT_GE(top, 203);
  EXPECT_LE(bottom, 276);
  bool green = false;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const Rgb c = opaque.At(x, y);
      ASSERT_EQ(0, c.r);
      ASSERT_EQ(0, c.b);
      green |= c.g > 200;
    }
  EXPECT_TRUE(green);
  EXPECT_EQ(opaque.rgba, clear.rgba);
}

TEST_F(OnScreen, ALetterTurnedEdgeOnShowsAtMostAHairline) {
  // On the line of sight; a letter off to the side would show a sliver, seen
  // at an angle through the perspective.
  const Picture flat = Frame([] {
    FillScreen(Black, Black, Black, Black);
    DrawRotatedString("M", 0, 0, 1, 0, 0, 0, White);
  });
  const Picture edgeOn = Frame([] {
    FillScreen(Black, Black, Black, Black);
    DrawRotatedString("M", 0, 0, 1, 0, 1.5707964f, 0, White);
  });
  EXPECT_GT(flat.LitCount(), 300);
  EXPECT_LT(edgeOn.LitCount(), 2 * 72) << "two pixels wide at most over the glyph's height";
}

TEST_F(OnScreen, ABlackFillClearsEveryPixelWhateverWasDrawnBefore) {
  const Picture p = Frame([] {
    DrawRockBlob(0, 0, 0.5f, White, 0);  // far larger than the screen
    FillScreen(Black, Black, Black, Black);
  });
  EXPECT_EQ(0, p.LitCount());
}

TEST_F(OnScreen, TheTestSceneWithEveryPrimitive) {
  const Picture p = Frame([] {
    FillScreen(0xFF202040, 0xFF202040, 0xFF000000, 0xFF000000);
    DrawBackdrop(0xFF803030, 0.0f, 1.5f, 3.0f, 4.5f);
    DrawRockBlob(-1.2f, 0.3f, 4, White, 0.4f);
    DrawRockBlob(1.3f, -0.4f, 4.5f, 0xFFFF8080, -0.3f);
    DrawSign(-1.1f, 0.75f, 3.5f, White, 0.1f);
    DrawBulb(0.2f, 0.05f, 1.6f, White, -0.25f);
    DrawGlow(0.2f, 0.05f, 1.6f, 0xFFFFFF80, -0.25f);
    DrawString("Tungsten Display", -0.9f, -0.45f, 1.3f, White);
    DrawRotatedString("ZedadAzi2", 0.15f, 0.42f, 1.3f, 0.5f, 0.6f, 0.3f, 0xFFFFD040);
    DrawGlyph('!', 1.1f, 0.42f, 1.3f, 0xFF40FF40);
  });
  ASSERT_FALSE(p.rgba.empty());
  EXPECT_GT(p.LitCount(), 640 * 480 / 2);
  const char* path = GLIMMERZ_GFX_SCENE_PNG;
  EXPECT_TRUE(WritePng(path, p.rgba.data(), p.width, p.height)) << path;
}

}  // namespace
