#include "assets/bitmap_reader.h"

#include <fstream>
#include <iterator>

namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

std::string DecodeRle8(const std::vector<uint8_t>& file, size_t start, size_t end, const uint32_t* palette,
                       DecodedBitmap& out) {
  const int w = out.width, h = out.height;
  std::vector<bool> written(static_cast<size_t>(w) * h, false);
  out.pixels.assign(written.size(), 0);
  out.codesPerRow.assign(h, 0);
  int row = 0, col = 0;  // stored order: row 0 is the bottom row
  int lastRunValue = -1, lastRunLength = 0;
  auto put = [&](uint8_t index) {
    const size_t at = static_cast<size_t>(h - 1 - row) * w + col;
    out.pixels[at] = palette[index];
    written[at] = true;
    ++col;
  };
  size_t p = start;
  while (true) {
    if (p + 2 > end) return "pixel stream ends without an end-of-bitmap code";
    const uint8_t n = file[p], v = file[p + 1];
    p += 2;
    if (n > 0) {
      if (col + n > w) return "run crosses the end of row " + std::to_string(row);
      ++out.codesPerRow[h - 1 - row];
      if (v == lastRunValue && lastRunLength < 255) ++out.wastedRuns;
      for (int i = 0; i < n; ++i) put(v);
      lastRunValue = v;
      lastRunLength = n;
      continue;
    }
    lastRunValue = -1;
    if (v == 0) {
      if (col != w) return "row " + std::to_string(row) + " ends after " + std::to_string(col) + " pixels";
      if (row == h - 1) return "end-of-line code after the last row";
      ++row;
      col = 0;
    } else if (v == 1) {
      if (row != h - 1 || col != w) return "end of bitmap before every pixel is written";
      if (p != end) return "bytes after the end-of-bitmap code";
      break;
    } else if (v == 2) {
      return "delta code";
    } else {
      if (col + v > w) return "literal crosses the end of row " + std::to_string(row);
      const size_t padded = v + (v & 1);
      if (p + padded > end) return "literal runs past the end of the stream";
      ++out.codesPerRow[h - 1 - row];
      for (int i = 0; i < v; ++i) put(file[p + i]);
      p += padded;
    }
  }
  for (bool done : written) {
    if (!done) return "a pixel is never written";
  }
  return "";
}

}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadBitmapFile(const std::vector<uint8_t>& file, DecodedBitmap& out) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return "no BMP file header";
  if (U32(file, 2) != file.size()) return "file size field disagrees with the file";
  if (U32(file, 14) != 40) return "info header is not 40 bytes";
  const int32_t width = static_cast<int32_t>(U32(file, 18));
  const int32_t height = static_cast<int32_t>(U32(file, 22));
  if (width <= 0 || height <= 0) return "not a bottom-up bitmap with a positive width";
  if (U16(file, 26) != 1) return "planes is not 1";
  out.width = width;
  out.height = height;
  out.bitCount = U16(file, 28);
  out.compression = U32(file, 30);
  const uint32_t imageSize = U32(file, 34), coloursUsed = U32(file, 46);
  const uint32_t bitsOffset = U32(file, 10);

  if (out.bitCount == 24) {
    if (out.compression != 0) return "24-bit bitmap is compressed";
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    if (bitsOffset != 54) return "24-bit bitmap carries a colour table";
    if (file.size() != 54 + rowBytes * height) return "24-bit pixel data has the wrong size";
    if (imageSize != 0 && imageSize != rowBytes * height) return "image size field is wrong";
    for (int y = 0; y < height; ++y) {
      const size_t row = 54 + rowBytes * (height - 1 - y);
      for (int x = 0; x < width; ++x) {
        const size_t at = row + 3 * x;
        out.pixels.push_back(file[at + 2] << 16 | file[at + 1] << 8 | file[at]);
      }
    }
    return "";
  }
  if (out.bitCount != 8 || out.compression != 1) return "neither 24-bit nor 8-bit RLE8";
  if (coloursUsed != 0 && coloursUsed != 256) return "colour table is not 256 entries";
  if (bitsOffset != 54 + 1024) return "pixel data does not follow a 256-entry colour table";
  if (imageSize != file.size() - bitsOffset) return "image size field disagrees with the stream";
  uint32_t palette[256];
  for (int i = 0; i < 256; ++i) palette[i] = U32(file, 54 + 4 * i) & 0xFFFFFF;
  return DecodeRle8(file, bitsOffset, file.size(), palette, out);
}

std::string ReadIconFile(const std::vector<uint8_t>& file, std::vector<IconImage>& out) {
  if (file.size() < 6 || U16(file, 0) != 0 || U16(file, 2) != 1) return "no icon directory";
  const uint32_t count = U16(file, 4);
  if (file.size() < 6 + 16 * count) return "icon directory is cut short";
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    const uint32_t size = U32(file, entry + 8), offset = U32(file, entry + 12);
    if (offset + size > file.size() || size < 40) return "icon image lies outside the file";
    IconImage image;
    image.width = file[entry] ? file[entry] : 256;
    image.height = file[entry + 1] ? file[entry + 1] : 256;
    image.bitCount = U16(file, entry + 6);
    if (U32(file, offset) != 40) return "icon image has no 40-byte header";
    if (static_cast<int>(U32(file, offset + 4)) != image.width ||
        static_cast<int>(U32(file, offset + 8)) != 2 * image.height) {
      return "icon image header disagrees with the directory";
    }
    if (static_cast<int>(U16(file, offset + 14)) != image.bitCount)
      return "icon bit count disagrees with the directory";
    if (image.bitCount != 32) return "icon image is not 32-bit";
    const uint32_t colourBytes = image.width * image.height * 4;
    const uint32_t maskBytes = ((image.width + 31) / 32) * 4 * image.height;
    if (size != 40 + colourBytes + maskBytes) return "icon image has the wrong size";
    out.push_back(image);
  }
  return "";
}
