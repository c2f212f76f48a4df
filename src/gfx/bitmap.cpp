// Bitmap resources (a BITMAPINFOHEADER, for 8-bit pictures a 256-colour table,
// then the bits) decoded into 32-bit pixels, top row first. Only our own
// pictures are ever decoded, but a damaged one must not take the show down: every
// read is checked against the resource's end and every write against the image.
#include <cstdlib>
#include <new>

#include "gfx/gfx.h"

namespace {

const DWORD MinHeaderSize = 40;
const DWORD RgbCompression = 0;
const DWORD Rle8Compression = 1;
const DWORD OpaqueBlack = 0xFF000000;
// Far beyond any picture of ours, small enough that width x height x 4 bytes
// stays a sane allocation everywhere.
const uint64_t MaxSide = 1u << 14;
const uint64_t MaxPixels = 1u << 24;

DWORD ReadU32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }
WORD ReadU16(const BYTE* p) { return (WORD)(p[0] | p[1] << 8); }

DWORD MakePixel(BYTE blue, BYTE green, BYTE red) { return OpaqueBlack | (DWORD)red << 16 | green << 8 | blue; }

// Where decoded rows go: stored rows run bottom-up when the height field is
// positive, so they land mirrored and the result is always top row first.
struct Canvas {
  PixelImage* image;
  bool bottomUp;

  void Put(uint64_t column, uint64_t storedRow, DWORD pixel) const {
    if (column >= image->width || storedRow >= image->height) return;
    const uint64_t row = bottomUp ? image->height - 1 - storedRow : storedRow;
    image->pixels[row * image->width + column] = pixel;
  }
};

void DecodeRgb24(const BYTE* bytes, uint64_t size, uint64_t bitsStart, const Canvas& canvas) {
  const uint64_t width = canvas.image->width;
  const uint64_t stride = (width * 3 + 3) & ~(uint64_t)3;
  for (uint64_t r = 0; r < canvas.image->height; ++r) {
    const uint64_t rowStart = bitsStart + r * stride;
    for (uint64_t x = 0; x < width; ++x) {
      const uint64_t at = rowStart + x * 3;
      if (at + 3 > size) return;
      canvas.Put(x, r, MakePixel(bytes[at], bytes[at + 1], bytes[at + 2]));
    }
  }
}

void DecodeIndexed8(const BYTE* bytes, uint64_t size, uint64_t bitsStart, const DWORD* table, const Canvas& canvas) {
  const uint64_t width = canvas.image->width;
  const uint64_t stride = (width + 3) & ~(uint64_t)3;
  for (uint64_t r = 0; r < canvas.image->height; ++r) {
    const uint64_t rowStart = bitsStart + r * stride;
    for (uint64_t x = 0; x < width; ++x) {
      if (rowStart + x >= size) return;
      canvas.Put(x, r, table[bytes[rowStart + x]]);
    }
  }
}

void DecodeRle8(const BYTE* bytes, uint64_t size, uint64_t at, const DWORD* table, const Canvas& canvas) {
  const uint64_t width = canvas.image->width;
  const uint64_t height = canvas.image->height;
  uint64_t column = 0;
  uint64_t row = 0;
  // Once the position has left the picture downwards nothing more can land.
  while (at + 2 <= size && row < height) {
    const BYTE first = bytes[at];
    const BYTE second = bytes[at + 1];
    at += 2;
    if (first > 0) {
      for (uint64_t i = 0; i < first; ++i) canvas.Put(column + i, row, table[second]);
      column += first;
    } else if (second == 0) {
      column = 0;
      ++row;
    } else if (second == 1) {
      return;
    } else if (second == 2) {
      if (at + 2 > size) return;
      column += bytes[at];
      row += bytes[at + 1];
      at += 2;
    } else {
      for (uint64_t i = 0; i < second; ++i) {
        if (at + i >= size) return;
        canvas.Put(column + i, row, table[bytes[at + i]]);
      }
      column += second;
      at += second + (second & 1);
    }
    // Past the right edge every write is dropped anyway; capping keeps the
    // column from growing without bound over a long stream.
    if (column > width) column = width;
  }
}

}  // namespace

int DecodeBitmap(const BYTE* bytes, DWORD size, PixelImage* image) {
  image->pixels.clear();
  image->width = 0;
  image->height = 0;
  if (!bytes || size < MinHeaderSize) return 0;
  const DWORD headerSize = ReadU32(bytes);
  if (headerSize < MinHeaderSize) return 0;
  const int32_t widthField = (int32_t)ReadU32(bytes + 4);
  const int32_t heightField = (int32_t)ReadU32(bytes + 8);
  const WORD bitCount = ReadU16(bytes + 14);
  const DWORD compression = ReadU32(bytes + 16);
  if (compression != RgbCompression && !(compression == Rle8Compression && bitCount == 8)) return 0;
  if (bitCount != 8 && bitCount != 24) return 0;

  const uint64_t width = widthField < 0 ? -(int64_t)widthField : widthField;
  const uint64_t height = heightField < 0 ? -(int64_t)heightField : heightField;
  if (width == 0 || height == 0 || width > MaxSide || height > MaxSide || width * height > MaxPixels) return 0;
  try {
    // Whatever the bits never reach (a short resource, an early end of an
    // RLE8 stream, a jump) stays opaque black.
    image->pixels.assign(width * height, OpaqueBlack);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  image->width = (DWORD)width;
  image->height = (DWORD)height;
  const Canvas canvas = {image, heightField > 0};

  if (bitCount == 24) {
    DecodeRgb24(bytes, size, headerSize, canvas);
    return 1;
  }
  // Entries missing from a short resource stay black; a byte indexes all 256.
  DWORD table[256];
  const uint64_t tableStart = headerSize;
  for (uint64_t i = 0; i < 256; ++i) {
    const uint64_t at = tableStart + i * 4;
    table[i] = at + 4 <= size ? MakePixel(bytes[at], bytes[at + 1], bytes[at + 2]) : OpaqueBlack;
  }
  const uint64_t bitsStart = tableStart + 256 * 4;
  if (compression == Rle8Compression)
    DecodeRle8(bytes, size, bitsStart, table, canvas);
  else
    DecodeIndexed8(bytes, size, bitsStart, table, canvas);
  return 1;
}

int DecodeBitmapResource(int id, PixelImage* image) {
  image->pixels.clear();
  image->width = 0;
  image->height = 0;
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_BITMAP);
  if (!resource) return 0;
  HGLOBAL loaded = LoadResource(nullptr, resource);
  if (!loaded) return 0;
  const BYTE* bytes = (const BYTE*)LockResource(loaded);
  if (!bytes) return 0;
  return DecodeBitmap(bytes, SizeofResource(nullptr, resource), image);
}
