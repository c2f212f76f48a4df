// The program's own pictures, read through the real resource access, decode to
// the sizes the textures and the glyph grid are laid out for.
#include <gtest/gtest.h>

#include "gfx/gfx.h"

namespace {

bool AllGrey(const PixelImage& image) {
  for (DWORD p : image.pixels) {
    const DWORD r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (r != g || g != b) return false;
  }
  return true;
}

TEST(RealPictures, EachDecodesToItsSizeAndIsOpaque) {
  const struct {
    int id;
    DWORD size;
    bool grey;
  } pictures[] = {
      {GlyphSheetBitmap, 256, true},   {GlowBitmap, 128, false},
      {BulbBitmap, 256, false},        {BulbAlphaBitmap, 256, true},
      {RockBitmap, 128, false},        {RockBlobAlphaBitmap, 128, true},
      {WarningSignBitmap, 256, false}, {WarningSignAlphaBitmap, 256, true},
  };
  for (const auto& p : pictures) {
    SCOPED_TRACE(p.id);
    PixelImage image;
    ASSERT_EQ(1, DecodeBitmapResource(p.id, &image));
    EXPECT_EQ(p.size, image.width);
    EXPECT_EQ(p.size, image.height);
    ASSERT_EQ((size_t)p.size * p.size, image.pixels.size());
    for (DWORD pixel : image.pixels) ASSERT_EQ(0xFFu, pixel >> 24);
    if (p.grey) {
      EXPECT_TRUE(AllGrey(image));
    }
  }
}

TEST(RealPictures, GlyphsSitInTheirCellsAndOnlyPrintableCodesHaveOne) {
  PixelImage sheet;
  ASSERT_EQ(1, DecodeBitmapResource(GlyphSheetBitmap, &sheet));
  for (int code = 0; code < 256; ++code) {
    const int left = (code % 16) * 16, top = (code / 16) * 16;
    bool inked = false;
    for (int y = top; y < top + 16; ++y)
      for (int x = left; x < left + 16; ++x) inked |= (sheet.pixels[y * 256 + x] & 0xFF) > 0x40;
    EXPECT_EQ(code > 32 && code < 127, inked) << "code " << code;
  }
}

}  // namespace
