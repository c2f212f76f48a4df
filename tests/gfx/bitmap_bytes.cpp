#include "gfx/bitmap_bytes.h"

namespace {

void PutU16(ByteString& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}

void PutU32(ByteString& out, uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

int StoredRowToTop(int32_t height, int storedRow) {
  const int rows = height < 0 ? -height : height;
  return height > 0 ? rows - 1 - storedRow : storedRow;
}

}  // namespace

void Append(ByteString& out, const ByteString& more) { out.insert(out.end(), more.begin(), more.end()); }

ByteString BitmapHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression, uint32_t headerSize) {
  ByteString out;
  PutU32(out, headerSize);
  PutU32(out, (uint32_t)width);
  PutU32(out, (uint32_t)height);
  PutU16(out, 1);
  PutU16(out, bitCount);
  PutU32(out, compression);
  for (int i = 0; i < 5; ++i) PutU32(out, 0);
  while (out.size() < headerSize) out.push_back(0);
  return out;
}

ByteString Rgb24Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& topDown) {
  const int w = width < 0 ? -width : width;
  const int rows = height < 0 ? -height : height;
  ByteString out = BitmapHeader(width, height, 24, 0);
  for (int r = 0; r < rows; ++r) {
    const int y = StoredRowToTop(height, r);
    int written = 0;
    for (int x = 0; x < w; ++x, written += 3) {
      const uint32_t c = topDown[(size_t)y * w + x];
      out.push_back(c & 0xFF);
      out.push_back((c >> 8) & 0xFF);
      out.push_back((c >> 16) & 0xFF);
    }
    for (; written % 4; ++written) out.push_back(0);
  }
  return out;
}

ByteString ColourTable(const std::vector<uint32_t>& colours, uint8_t reserved) {
  ByteString out;
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t c = i < colours.size() ? colours[i] : 0;
    out.push_back(c & 0xFF);
    out.push_back((c >> 8) & 0xFF);
    out.push_back((c >> 16) & 0xFF);
    out.push_back(reserved);
  }
  return out;
}

ByteString Indexed8Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& colours,
                          const std::vector<uint8_t>& topDown, uint8_t reserved) {
  const int w = width < 0 ? -width : width;
  const int rows = height < 0 ? -height : height;
  ByteString out = BitmapHeader(width, height, 8, 0);
  Append(out, ColourTable(colours, reserved));
  for (int r = 0; r < rows; ++r) {
    const int y = StoredRowToTop(height, r);
    int written = 0;
    for (int x = 0; x < w; ++x, ++written) out.push_back(topDown[(size_t)y * w + x]);
    for (; written % 4; ++written) out.push_back(0);
  }
  return out;
}

ByteString Rle8Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& colours, const ByteString& codes) {
  ByteString out = BitmapHeader(width, height, 8, 1);
  Append(out, ColourTable(colours));
  Append(out, codes);
  return out;
}
