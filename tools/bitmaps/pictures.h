// The program's pictures, drawn from scratch at build time. Every maker is a pure
// function of its inputs (no clock, no global random state), so a rebuild writes
// the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Pixels are stored top row first; the file writers turn them bottom-up.
struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

// 0x00RRGGBB per pixel.
struct ColourImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// 0xAARRGGBB per pixel, for the icon.
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> palette;  // 256 entries, 0x00RRGGBB
  std::vector<uint8_t> indices;
};

// File writers (bitmap_file.cpp, icon_file.cpp).
Bytes EncodeRle8(const IndexedImage& image);               // the pixel stream only
Bytes MakeRle8BitmapFile(const IndexedImage& image);       // 8-bit BI_RLE8, 256 colours
Bytes MakeGreyRle8BitmapFile(const GreyImage& image);      // palette entry n is grey n
Bytes MakeRgb24BitmapFile(const ColourImage& image);       // 24-bit BI_RGB
Bytes MakeIconFile(const std::vector<ArgbImage>& images);  // 32-bit entries with alpha

// Reduces a colour picture to 256 colours; entry 0 is always black.
IndexedImage ReduceColours(const ColourImage& image);

// The pictures themselves.
GreyImage MakeGlyphSheet(const std::string& fontPath);
GreyImage MakeGlow();
void MakeBulb(ColourImage& colour, GreyImage& alpha);
ColourImage MakeRock();
ColourImage MakeRockBlobMask();  // grey, but stored as 24-bit like the rock
void MakeWarningSign(const std::string& boldFontPath, ColourImage& colour, GreyImage& alpha);
std::vector<ArgbImage> MakeIconImages();
// The display settings page's preview animation, ten frames of 128 x 96.
std::vector<ColourImage> MakePreviewFrames(const std::string& boldFontPath);
