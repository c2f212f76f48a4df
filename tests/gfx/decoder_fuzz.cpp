// libFuzzer target: any bytes at all as the one bitmap resource. Built with
// AddressSanitizer, so a read past the resource or a write past the image ends
// the run; the checks below catch pictures that come out malformed.
#include <cstdlib>

#include "gfx/gfx.h"

namespace {
const uint8_t* resourceBytes;
size_t resourceSize;
int resourceMarker;
}  // namespace

HRSRC FindResourceA(HMODULE, LPCSTR, LPCSTR) { return (HRSRC)&resourceMarker; }
HGLOBAL LoadResource(HMODULE, HRSRC) { return (HGLOBAL)&resourceMarker; }
LPVOID LockResource(HGLOBAL) { return (LPVOID)resourceBytes; }
DWORD SizeofResource(HMODULE, HRSRC) { return (DWORD)resourceSize; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so the sanitizer sees the resource's true end.
  uint8_t* copy = (uint8_t*)std::malloc(size ? size : 1);
  for (size_t i = 0; i < size; ++i) copy[i] = data[i];
  resourceBytes = copy;
  resourceSize = size;
  PixelImage image;
  const int decoded = DecodeBitmapResource(GlyphSheetBitmap, &image);
  std::free(copy);
  if (!decoded) {
    if (!image.pixels.empty() || image.width || image.height) std::abort();
    return 0;
  }
  if (!image.width || !image.height || image.pixels.size() != (size_t)image.width * image.height) std::abort();
  for (DWORD p : image.pixels)
    if ((p >> 24) != 0xFF) std::abort();
  return 0;
}
