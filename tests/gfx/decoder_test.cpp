// Bitmap resources to 32-bit pixels: the forms our pictures use, and damaged
// ones that must neither crash nor reach outside the image or the resource.
#include <climits>

#include "gfx/gfx_fixture.h"

namespace {

const uint32_t Black = 0xFF000000;

class Decoder : public GfxTest {
 protected:
  PixelImage image;

  int Decode(const ByteString& bytes) {
    PutBitmapResource(300, bytes);
    return DecodeBitmapResource(300, &image);
  }
  std::vector<uint32_t> Pixels() const { return std::vector<uint32_t>(image.pixels.begin(), image.pixels.end()); }
};

const std::vector<uint32_t> threeByTwo = {0x102030, 0x405060, 0x708090,  //
                                          0xA0B0C0, 0xD0E0F0, 0x010203};
const std::vector<uint32_t> threeByTwoOpaque = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF010203};

TEST_F(Decoder, BottomUpAndTopDownStorageGiveTheSamePictureTopRowFirst) {
  ASSERT_EQ(1, Decode(Rgb24Bitmap(3, 2, threeByTwo)));
  EXPECT_EQ(3u, image.width);
  EXPECT_EQ(2u, image.height);
  EXPECT_EQ(threeByTwoOpaque, Pixels());
  ASSERT_EQ(1, Decode(Rgb24Bitmap(3, -2, threeByTwo)));
  EXPECT_EQ(2u, image.height);
  EXPECT_EQ(threeByTwoOpaque, Pixels());
}

TEST_F(Decoder, NegativeWidthFieldMeansItsAbsoluteValue) {
  ASSERT_EQ(1, Decode(Rgb24Bitmap(-3, 2, threeByTwo)));
  EXPECT_EQ(3u, image.width);
  EXPECT_EQ(threeByTwoOpaque, Pixels());
}

TEST_F(Decoder, TwentyFourBitRowsArePaddedToFourBytes) {
  // Width 5: 15 bytes of pixels and one byte of padding per stored row.
  std::vector<uint32_t> pixels(15);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x111111 * (uint32_t)(i % 15 + 1) & 0xFFFFFF;
  ByteString bytes = Rgb24Bitmap(5, 3, pixels);
  ASSERT_EQ(40u + 3 * 16, bytes.size());
  ASSERT_EQ(1, Decode(bytes));
  for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(0xFF000000 | pixels[i], image.pixels[i]) << i;
}

TEST_F(Decoder, ALongerHeaderIsSkippedAsAWhole) {
  ByteString bytes = BitmapHeader(1, 1, 24, 0, 56);
  Append(bytes, {0x33, 0x22, 0x11, 0});
  ASSERT_EQ(1, Decode(bytes));
  EXPECT_EQ(0xFF112233, image.pixels[0]);
}

TEST_F(Decoder, EightBitIndicesGoThroughTheTableAndAlwaysComeOutOpaque) {
  // Reserved bytes of 0x7F must not leak into alpha; width 3 pads each row to 4.
  const std::vector<uint8_t> indices = {1, 2, 0, 2, 1, 255};
  std::vector<uint32_t> colours(256, 0x000000);
  colours[1] = 0xFF0000;
  colours[2] = 0x00FF00;
  colours[255] = 0x123456;
  ASSERT_EQ(1, Decode(Indexed8Bitmap(3, 2, colours, indices, 0x7F)));
  EXPECT_EQ((std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, Black, 0xFF00FF00, 0xFFFF0000, 0xFF123456}), Pixels());
}

std::vector<uint32_t> RunColours() {
  std::vector<uint32_t> colours(256);
  for (uint32_t i = 0; i < 256; ++i) colours[i] = i * 0x010101;
  return colours;
}

TEST_F(Decoder, Rle8RunsLiteralsEndsOfLineAndDeltas) {
  // Stored bottom row first: row 2 of the picture is written first.
  const ByteString codes = {
      3, 0x10,                          // three of colour 0x10
      0, 3,    0x20, 0x21, 0x22, 0,     // odd literal: one filler byte follows
      0, 0,                             // end of line
      0, 4,    0x30, 0x31, 0x32, 0x33,  // even literal: no filler
      0, 2,    1,    1,                 // jump right 1, down 1
      1, 0x40,                          // lands at column 5 of the third stored row
      0, 1,                             // end of bitmap
      9, 0x99,                          // never read
  };
  ASSERT_EQ(1, Decode(Rle8Bitmap(6, 3, RunColours(), codes)));
  const uint32_t g10 = 0xFF101010, g20 = 0xFF202020, g21 = 0xFF212121, g22 = 0xFF222222;
  const uint32_t g30 = 0xFF303030, g31 = 0xFF313131, g32 = 0xFF323232, g33 = 0xFF333333, g40 = 0xFF404040;
  EXPECT_EQ((std::vector<uint32_t>{Black, Black, Black, Black, Black, g40,  //
                                   g30, g31, g32, g33, Black, Black,        //
                                   g10, g10, g10, g20, g21, g22}),
            Pixels());
}

TEST_F(Decoder, Rle8OddLiteralSkipsExactlyOneFillerByte) {
  // If the filler were not skipped, 0 then 5 would read as a literal of five.
  const ByteString codes = {0, 5, 1, 2, 3, 4, 5, 0, 2, 9, 0, 1};
  ASSERT_EQ(1, Decode(Rle8Bitmap(7, 1, RunColours(), codes)));
  EXPECT_EQ((std::vector<uint32_t>{0xFF010101, 0xFF020202, 0xFF030303, 0xFF040404, 0xFF050505, 0xFF090909, 0xFF090909}),
            Pixels());
}

TEST_F(Decoder, RefusesWhatItCannotRead) {
  struct Case {
    const char* what;
    ByteString bytes;
  };
  ByteString core = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 24, 0, 0, 0, 0};
  ByteString shortHeader = BitmapHeader(1, 1, 24, 0);
  shortHeader.resize(39);
  const Case cases[] = {
      {"12-byte core header", core},
      {"header size 39", BitmapHeader(1, 1, 24, 0, 39)},
      {"shorter than a header", shortHeader},
      {"BI_RLE4", BitmapHeader(2, 2, 4, 2)},
      {"bit fields", BitmapHeader(2, 2, 24, 3)},
      {"RLE8 at 24 bits", BitmapHeader(2, 2, 24, 1)},
      {"4 bits", BitmapHeader(2, 2, 4, 0)},
      {"32 bits", BitmapHeader(2, 2, 32, 0)},
      {"zero width", BitmapHeader(0, 2, 24, 0)},
      {"zero height", BitmapHeader(2, 0, 24, 0)},
      {"width x height overflows 32 bits", BitmapHeader(0x10001, 0x10001, 24, 0)},
      {"most negative height", BitmapHeader(2, INT_MIN, 24, 0)},
      {"most negative width", BitmapHeader(INT_MIN, 2, 8, 1)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(0, Decode(c.bytes)) << c.what;
    EXPECT_TRUE(image.pixels.empty()) << c.what;
    EXPECT_EQ(0u, image.width) << c.what;
  }
  EXPECT_EQ(0, DecodeBitmapResource(9999, &image)) << "missing resource";
}

TEST_F(Decoder, AResourceCutShortDecodesWhatItHoldsAndLeavesTheRestBlack) {
  ByteString bytes = Rgb24Bitmap(2, -2, {0x010203, 0x040506, 0x070809, 0x0A0B0C});
  bytes.resize(40 + 8 + 2);  // the first row and two bytes of the next
  ASSERT_EQ(1, Decode(bytes));
  EXPECT_EQ((std::vector<uint32_t>{0xFF010203, 0xFF040506, Black, Black}), Pixels());

  // A table cut off half-way: entries beyond the end are black, and the bits
  // (which would start after the full table) are simply absent.
  ByteString indexed = Indexed8Bitmap(2, 1, RunColours(), {3, 200});
  indexed.resize(40 + 100 * 4);
  ASSERT_EQ(1, Decode(indexed));
  EXPECT_EQ((std::vector<uint32_t>{Black, Black}), Pixels());
}

TEST_F(Decoder, Rle8WritesOutsideThePictureAreDropped) {
  const ByteString codes = {5,   0x11,                  // five pixels into a row of three
                            0,   3,    1,   2,   3, 0,  // a literal entirely past the right edge
                            0,   0,                     // next row
                            0,   2,    200, 0,          // a jump far to the right
                            2,   0x22,                  // lands outside
                            0,   0,                     // back to column 0 on the next row
                            0,   2,    0,   250,        // far below the picture
                            255, 0x33,                  // nothing left to write
                            0,   1};
  ASSERT_EQ(1, Decode(Rle8Bitmap(3, -2, RunColours(), codes)));
  EXPECT_EQ((std::vector<uint32_t>{0xFF111111, 0xFF111111, 0xFF111111, Black, Black, Black}), Pixels());
}

TEST_F(Decoder, Rle8StreamEndingMidwayStopsAtTheEndOfTheResource) {
  struct Case {
    const char* what;
    ByteString codes;
  };
  const Case cases[] = {
      {"literal longer than what is left", {1, 7, 0, 9, 1, 2}},
      {"delta without its bytes", {1, 7, 0, 2, 1}},
      {"half a pair", {1, 7, 4}},
      {"no end code", {1, 7}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(1, Decode(Rle8Bitmap(4, -1, RunColours(), c.codes))) << c.what;
    EXPECT_EQ(0xFF070707, image.pixels[0]) << c.what;
    EXPECT_EQ(Black, image.pixels[3]) << c.what;
  }
  ASSERT_EQ(1, Decode(Rle8Bitmap(4, -1, RunColours(), {1, 7, 0, 9, 1, 2})));
  EXPECT_EQ(0xFF010101, image.pixels[1]);
  EXPECT_EQ(0xFF020202, image.pixels[2]);
}

}  // namespace
