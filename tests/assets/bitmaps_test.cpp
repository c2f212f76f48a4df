// The generated pictures, read back byte by byte the way the program's decoder
// and windres will read them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "assets/bitmap_reader.h"

namespace {

const std::string assetDir = GLIMMERZ_ASSET_DIR;

struct Expected {
  const char* name;
  int bitCount;
  int size;
  bool grey;
};

const Expected bitmaps[] = {
    {"font.bmp", 8, 256, true},       {"glow.bmp", 8, 128, true},       {"bulb.bmp", 8, 256, false},
    {"bulb_alpha.bmp", 8, 256, true}, {"rock.bmp", 24, 128, false},     {"rockblob_alpha.bmp", 24, 128, true},
    {"sign.bmp", 8, 256, false},      {"sign_alpha.bmp", 8, 256, true},
};

DecodedBitmap Load(const std::string& name) {
  DecodedBitmap bitmap;
  const std::string problem = ReadBitmapFile(ReadWholeFile(assetDir + "/" + name), bitmap);
  EXPECT_EQ(problem, "") << name;
  return bitmap;
}

int Grey(const DecodedBitmap& b, int x, int y) { return b.pixels[y * b.width + x] & 0xFF; }

TEST(GeneratedBitmaps, EveryFileHasTheFormatSizeAndGreynessTheProgramExpects) {
  for (const Expected& e : bitmaps) {
    SCOPED_TRACE(e.name);
    const DecodedBitmap b = Load(e.name);
    EXPECT_EQ(b.bitCount, e.bitCount);
    EXPECT_EQ(b.compression, e.bitCount == 8 ? 1 : 0);
    EXPECT_EQ(b.width, e.size);
    EXPECT_EQ(b.height, e.size);
    if (e.grey) {
      const auto coloured = std::count_if(b.pixels.begin(), b.pixels.end(), [](uint32_t p) {
        return (p & 0xFF) != ((p >> 8) & 0xFF) || (p & 0xFF) != ((p >> 16) & 0xFF);
      });
      EXPECT_EQ(coloured, 0);
    }
  }
}

TEST(GeneratedBitmaps, RunLengthCodingSpendsNoCodeItCouldSave) {
  for (const Expected& e : bitmaps) {
    if (e.bitCount != 8) continue;
    SCOPED_TRACE(e.name);
    const DecodedBitmap b = Load(e.name);
    EXPECT_EQ(b.wastedRuns, 0);
    for (int y = 0; y < b.height; ++y) {
      const bool uniform = std::all_of(b.pixels.begin() + y * b.width, b.pixels.begin() + (y + 1) * b.width,
                                       [&](uint32_t p) { return p == b.pixels[y * b.width]; });
      if (uniform) {
        EXPECT_LE(b.codesPerRow[y], 2) << "row " << y;
      }
    }
  }
}

TEST(GeneratedBitmaps, CutOutsFitTheirPictures) {
  const DecodedBitmap bulb = Load("bulb.bmp"), bulbAlpha = Load("bulb_alpha.bmp");
  const DecodedBitmap sign = Load("sign.bmp"), signAlpha = Load("sign_alpha.bmp");
  const DecodedBitmap rock = Load("rock.bmp"), blob = Load("rockblob_alpha.bmp");
  ASSERT_EQ(bulb.pixels.size(), bulbAlpha.pixels.size());
  ASSERT_EQ(sign.pixels.size(), signAlpha.pixels.size());
  ASSERT_EQ(rock.pixels.size(), blob.pixels.size());

  for (const DecodedBitmap* alpha : {&bulbAlpha, &signAlpha, &blob}) {
    const int last = alpha->width - 1;
    EXPECT_EQ(Grey(*alpha, 0, 0) + Grey(*alpha, last, 0) + Grey(*alpha, 0, last) + Grey(*alpha, last, last), 0);
    EXPECT_GE(Grey(*alpha, alpha->width / 2, alpha->height / 2), 200);
  }
  // The sign is drawn without blending: whatever its cut-out leaves out must be black.
  for (size_t i = 0; i < sign.pixels.size(); ++i) {
    if ((signAlpha.pixels[i] & 0xFF) == 0) {
      ASSERT_EQ(sign.pixels[i], 0u) << "pixel " << i;
    }
  }
  // Tints multiply the bulb's colour, so its glass must be pale for them to show.
  for (int x : {70, 186}) {
    const uint32_t glass = bulb.pixels[120 * 256 + x];
    EXPECT_GE(std::min({glass >> 16, (glass >> 8) & 0xFF, glass & 0xFF}), 180u) << "x " << x;
  }
}

TEST(GlyphSheet, PrintableCodesHaveCentredGlyphsOfOrdinaryWidth) {
  const DecodedBitmap sheet = Load("font.bmp");
  std::vector<int> letterWidths;
  for (int code = 33; code <= 126; ++code) {
    SCOPED_TRACE(std::string(1, static_cast<char>(code)));
    int left = 16, right = -1, brightest = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int v = Grey(sheet, (code % 16) * 16 + x, (code / 16) * 16 + y);
        brightest = std::max(brightest, v);
        if (v >= 64) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    }
    ASSERT_GE(right, left);
    EXPECT_GE(brightest, 200);  // crisp enough to reach near white somewhere
    const int width = right - left + 1;
    EXPECT_LE(width, 14);
    EXPECT_NEAR((left + right + 1) * 0.5, 8.0, 1.0);
    if (std::isalnum(code)) letterWidths.push_back(width);
  }
  std::sort(letterWidths.begin(), letterWidths.end());
  const int median = letterWidths[letterWidths.size() / 2];
  EXPECT_GE(median, 7);
  EXPECT_LE(median, 9);
  const auto ordinary =
      std::count_if(letterWidths.begin(), letterWidths.end(), [](int w) { return w >= 6 && w <= 10; });
  EXPECT_GE(ordinary * 4, static_cast<long>(letterWidths.size()) * 3);
}

TEST(GlyphSheet, SpaceControlCodesAndHighCodesAreEmpty) {
  const DecodedBitmap sheet = Load("font.bmp");
  for (int code = 0; code < 256; ++code) {
    if (code > 32 && code < 127) continue;
    int ink = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) ink += Grey(sheet, (code % 16) * 16 + x, (code / 16) * 16 + y);
    }
    EXPECT_EQ(ink, 0) << "code " << code;
  }
}

TEST(Glow, IsBrightestInTheMiddleAndBlackAtTheEdge) {
  const DecodedBitmap glow = Load("glow.bmp");
  EXPECT_GE(Grey(glow, 64, 64), 250);
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(Grey(glow, i, 0) + Grey(glow, i, 127) + Grey(glow, 0, i) + Grey(glow, 127, i), 0);
  }
  for (int x = 65; x < 128; ++x) EXPECT_LE(Grey(glow, x, 64), Grey(glow, x - 1, 64));
}

TEST(Rock, RepeatsWithoutASeam) {
  const DecodedBitmap rock = Load("rock.bmp");
  auto difference = [&](int x0, int y0, int x1, int y1) {
    const uint32_t a = rock.pixels[y0 * 128 + x0], b = rock.pixels[y1 * 128 + x1];
    int d = 0;
    for (int shift : {0, 8, 16})
      d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return d;
  };
  // Across the wrap the picture should change no more than it does somewhere
  // between neighbouring columns or rows inside it.
  int acrossX = 0, acrossY = 0, mostX = 0, mostY = 0;
  for (int j = 0; j < 127; ++j) {
    int sumX = 0, sumY = 0;
    for (int i = 0; i < 128; ++i) {
      sumX += difference(j, i, j + 1, i);
      sumY += difference(i, j, i, j + 1);
    }
    mostX = std::max(mostX, sumX);
    mostY = std::max(mostY, sumY);
  }
  for (int i = 0; i < 128; ++i) {
    acrossX += difference(127, i, 0, i);
    acrossY += difference(i, 127, i, 0);
  }
  EXPECT_LE(acrossX, mostX);
  EXPECT_LE(acrossY, mostY);
}

TEST(Icon, HoldsSixteenThirtyTwoAndFortyEightPixelImages) {
  std::vector<IconImage> images;
  EXPECT_EQ(ReadIconFile(ReadWholeFile(assetDir + "/glimmerz.ico"), images), "");
  ASSERT_EQ(images.size(), 3u);
  EXPECT_EQ(images[0].width, 16);
  EXPECT_EQ(images[1].width, 32);
  EXPECT_EQ(images[2].width, 48);
}

TEST(Generator, TwoRunsWriteTheSameBytesAsTheBuild) {
  namespace fs = std::filesystem;
  const fs::path scratch = fs::temp_directory_path() / ("glimmerz_bitmaps_" + std::to_string(getpid()));
  for (const char* run : {"a", "b"}) {
    fs::create_directories(scratch / run);
    const std::string command = std::string("\"") + GLIMMERZ_BITMAP_GENERATOR + "\" \"" + (scratch / run).string() +
                                "\" \"" + GLIMMERZ_BOLD_FONT + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  int files = 0;
  for (const auto& entry : fs::directory_iterator(scratch / "a")) {
    const std::string name = entry.path().filename().string();
    const auto first = ReadWholeFile(entry.path().string());
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_EQ(first, ReadWholeFile((scratch / "b" / name).string())) << name;
    EXPECT_EQ(first, ReadWholeFile(assetDir + "/" + name)) << name;
    ++files;
  }
  EXPECT_EQ(files, 19);  // eight pictures, the icon and ten preview frames
  fs::remove_all(scratch);
}

}  // namespace
