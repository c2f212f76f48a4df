// BMP files for the resource script: 8-bit run-length encoded pictures and
// 24-bit uncompressed ones, both bottom-up with the usual 14-byte file header
// (windres drops it when it builds a BITMAP resource).
#include <algorithm>
#include <climits>

#include "pictures.h"

namespace {

void PutU16(Bytes& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void PutU32(Bytes& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

Bytes MakeHeaders(int width, int height, int bitCount, int compression, uint32_t paletteBytes, uint32_t imageBytes) {
  const uint32_t bitsOffset = 14 + 40 + paletteBytes;
  Bytes out;
  out.push_back('B');
  out.push_back('M');
  PutU32(out, bitsOffset + imageBytes);
  PutU32(out, 0);
  PutU32(out, bitsOffset);
  PutU32(out, 40);
  PutU32(out, width);
  PutU32(out, height);  // positive: bottom-up
  PutU16(out, 1);
  PutU16(out, bitCount);
  PutU32(out, compression);
  PutU32(out, imageBytes);
  PutU32(out, 2835);  // 72 dpi, of no consequence
  PutU32(out, 2835);
  PutU32(out, paletteBytes / 4);
  PutU32(out, 0);
  return out;
}

// Cheapest code sequence for one row. Runs of equal pixels cost two bytes
// whatever their length; a literal of n pixels costs two bytes plus n, plus one
// filler when n is odd. Choosing per position from the back keeps it optimal.
void EncodeRow(const uint8_t* row, int width, Bytes& out) {
  std::vector<int> cost(width + 1, 0);
  std::vector<int> choice(width, 0);  // > 0: encoded run of that length; < 0: literal
  for (int i = width - 1; i >= 0; --i) {
    int best = INT_MAX;
    int pick = 0;
    int same = 1;
    while (i + same < width && same < 255 && row[i + same] == row[i]) ++same;
    for (int k = same; k >= 1; --k) {
      const int c = 2 + cost[i + k];
      if (c < best) {
        best = c;
        pick = k;
      }
    }
    for (int n = 3; n <= 255 && i + n <= width; ++n) {
      const int c = 2 + n + (n & 1) + cost[i + n];
      if (c < best) {
        best = c;
        pick = -n;
      }
    }
    cost[i] = best;
    choice[i] = pick;
  }
  for (int i = 0; i < width;) {
    if (choice[i] > 0) {
      out.push_back(static_cast<uint8_t>(choice[i]));
      out.push_back(row[i]);
      i += choice[i];
    } else {
      const int n = -choice[i];
      out.push_back(0);
      out.push_back(static_cast<uint8_t>(n));
      out.insert(out.end(), row + i, row + i + n);
      if (n & 1) out.push_back(0);
      i += n;
    }
  }
}

}  // namespace

Bytes EncodeRle8(const IndexedImage& image) {
  Bytes out;
  for (int r = 0; r < image.height; ++r) {
    const int y = image.height - 1 - r;  // stored bottom row first
    EncodeRow(&image.indices[static_cast<size_t>(y) * image.width], image.width, out);
    if (r + 1 < image.height) {
      out.push_back(0);
      out.push_back(0);
    }
  }
  out.push_back(0);
  out.push_back(1);
  return out;
}

Bytes MakeRle8BitmapFile(const IndexedImage& image) {
  const Bytes bits = EncodeRle8(image);
  Bytes out = MakeHeaders(image.width, image.height, 8, 1, 1024, bits.size());
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : 0;
    out.push_back(c & 0xFF);
    out.push_back((c >> 8) & 0xFF);
    out.push_back((c >> 16) & 0xFF);
    out.push_back(0);
  }
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

Bytes MakeGreyRle8BitmapFile(const GreyImage& image) {
  IndexedImage indexed;
  indexed.width = image.width;
  indexed.height = image.height;
  indexed.indices = image.pixels;
  for (uint32_t g = 0; g < 256; ++g) indexed.palette.push_back(g * 0x010101);
  return MakeRle8BitmapFile(indexed);
}

Bytes MakeRgb24BitmapFile(const ColourImage& image) {
  const int rowBytes = (image.width * 3 + 3) & ~3;
  Bytes out = MakeHeaders(image.width, image.height, 24, 0, 0, rowBytes * image.height);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t c = image.pixels[static_cast<size_t>(y) * image.width + x];
      out.push_back(c & 0xFF);
      out.push_back((c >> 8) & 0xFF);
      out.push_back((c >> 16) & 0xFF);
    }
    for (int pad = image.width * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}
