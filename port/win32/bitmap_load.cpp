// LoadImageA for the program's bitmap resources: a BITMAPINFOHEADER, a colour
// table for 8-bit pictures, then plain or RLE8-compressed bits, decoded the way
// the system's loader does. A damaged resource yields no bitmap, never a read
// past its end.
#include <new>

#include "port_internal.h"
#include "win32_internal.h"

namespace {
const DWORD InfoHeaderSize = 40;
const DWORD PlainBits = 0;
const DWORD Rle8Bits = 1;
const int MaxSide = 1 << 14;

DWORD U32(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }

// Bounded reading over the resource's bytes.
struct Reader {
  const BYTE* bytes;
  size_t size;
  size_t at;
  bool Has(size_t n) const { return at <= size && size - at >= n; }
  BYTE Next() { return bytes[at++]; }
};

// Rows arrive bottom row first when the height is positive.
struct Target {
  PortBitmap* bitmap;
  bool bottomUp;
  void Put(int column, int storedRow, uint32_t colour) {
    if (column < 0 || column >= bitmap->width || storedRow < 0 || storedRow >= bitmap->height) return;
    int row = bottomUp ? bitmap->height - 1 - storedRow : storedRow;
    bitmap->pixels[(size_t)row * bitmap->width + column] = colour;
  }
};

void ReadRle8(Reader in, const uint32_t* colours, Target out) {
  int column = 0, row = 0;
  while (in.Has(2) && row < out.bitmap->height) {
    BYTE count = in.Next(), code = in.Next();
    if (count) {
      for (int i = 0; i < count; ++i) out.Put(column + i, row, colours[code]);
      column += count;
    } else if (code == 0) {  // end of line
      column = 0;
      ++row;
    } else if (code == 1) {  // end of picture
      return;
    } else if (code == 2) {  // jump
      if (!in.Has(2)) return;
      column += in.Next();
      row += in.Next();
    } else {  // a literal run, padded to a whole word
      if (!in.Has(code + (code & 1u))) return;
      for (int i = 0; i < code; ++i) out.Put(column + i, row, colours[in.Next()]);
      if (code & 1) in.Next();
      column += code;
    }
    if (column > out.bitmap->width) column = out.bitmap->width;
  }
}

void ReadPlain(Reader in, int bitCount, const uint32_t* colours, Target out) {
  int bytesPerPixel = bitCount / 8;
  size_t stride = ((size_t)out.bitmap->width * bytesPerPixel + 3) & ~(size_t)3;
  size_t start = in.at;
  for (int row = 0; row < out.bitmap->height; ++row) {
    in.at = start + row * stride;
    for (int column = 0; column < out.bitmap->width && in.Has(bytesPerPixel); ++column) {
      if (bitCount == 8) {
        out.Put(column, row, colours[in.Next()]);
      } else {
        uint32_t blue = in.Next(), green = in.Next(), red = in.Next();
        out.Put(column, row, red << 16 | green << 8 | blue);
      }
    }
  }
}
}  // namespace

PortBitmap* PortDecodeBitmap(const BYTE* bytes, DWORD size) {
  if (!bytes || size < InfoHeaderSize || U32(bytes) < InfoHeaderSize || U32(bytes) > size) return nullptr;
  int32_t width = (int32_t)U32(bytes + 4), height = (int32_t)U32(bytes + 8);
  int bitCount = bytes[14] | bytes[15] << 8;
  DWORD compression = U32(bytes + 16), coloursUsed = U32(bytes + 32);
  bool plain = compression == PlainBits && (bitCount == 8 || bitCount == 24);
  bool rle = compression == Rle8Bits && bitCount == 8 && height > 0;
  if (!(plain || rle) || width <= 0 || width > MaxSide || height == 0 || height > MaxSide || height < -MaxSide)
    return nullptr;

  Reader in = {bytes, size, U32(bytes)};
  uint32_t colours[256] = {};  // an index beyond a short table shows black
  if (bitCount == 8) {
    DWORD count = coloursUsed && coloursUsed < 256 ? coloursUsed : 256;
    if (!in.Has(count * 4)) return nullptr;
    for (DWORD i = 0; i < count; ++i, in.at += 4) colours[i] = U32(bytes + in.at) & 0xFFFFFF;
  }
  auto* bitmap = new (std::nothrow) PortBitmap;
  if (!bitmap) return nullptr;
  bitmap->width = width;
  bitmap->height = height < 0 ? -height : height;
  try {
    // What the bits never reach (a skipped stretch, a short resource) is colour 0.
    bitmap->pixels.assign((size_t)bitmap->width * bitmap->height, colours[0]);
  } catch (const std::bad_alloc&) {
    delete bitmap;
    return nullptr;
  }
  Target out = {bitmap, height > 0};
  if (rle)
    ReadRle8(in, colours, out);
  else
    ReadPlain(in, bitCount, colours, out);
  return bitmap;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT) {
  // Only bitmaps at their own size are asked for.
  if (type != IMAGE_BITMAP || width || height) return nullptr;
  HRSRC resource = FindResourceA(instance, name, RT_BITMAP);
  if (!resource) return nullptr;
  return PortAdoptBitmap(PortDecodeBitmap(static_cast<const BYTE*>(LockResource(LoadResource(instance, resource))),
                                          SizeofResource(instance, resource)));
}
