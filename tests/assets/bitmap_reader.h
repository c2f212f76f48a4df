// A strict reader for the generated BMP and ICO files. It decodes them and
// names the first way a file breaks the rules the program's bitmap decoder and
// windres rely on, so a test can show what went wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedBitmap {
  int width = 0, height = 0, bitCount = 0, compression = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first
  std::vector<int> codesPerRow;  // RLE8: pixel codes in each row, top row first
  int wastedRuns = 0;            // RLE8: a short run followed by a run of the same index
};

struct IconImage {
  int width = 0, height = 0, bitCount = 0;
};

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Both return an empty string for a sound file, else what is wrong with it.
std::string ReadBitmapFile(const std::vector<uint8_t>& file, DecodedBitmap& out);
std::string ReadIconFile(const std::vector<uint8_t>& file, std::vector<IconImage>& out);
