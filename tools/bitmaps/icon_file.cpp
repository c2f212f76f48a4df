// The .ico file: one 32-bit entry with alpha per size. Each entry also carries
// the 1-bit mask that older icon readers use instead of the alpha channel.
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

Bytes MakeIconEntry(const ArgbImage& image) {
  const int maskRowBytes = ((image.width + 31) / 32) * 4;
  const uint32_t colourBytes = image.width * image.height * 4;
  const uint32_t maskBytes = maskRowBytes * image.height;
  Bytes out;
  PutU32(out, 40);
  PutU32(out, image.width);
  PutU32(out, image.height * 2);  // colour and mask stacked, as icons require
  PutU16(out, 1);
  PutU16(out, 32);
  PutU32(out, 0);
  PutU32(out, colourBytes + maskBytes);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) PutU32(out, image.pixels[y * image.width + x]);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    Bytes row(maskRowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      if ((image.pixels[y * image.width + x] >> 24) == 0) row[x / 8] |= 0x80 >> (x % 8);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

Bytes MakeIconFile(const std::vector<ArgbImage>& images) {
  std::vector<Bytes> entries;
  for (const ArgbImage& image : images) entries.push_back(MakeIconEntry(image));
  Bytes out;
  PutU16(out, 0);
  PutU16(out, 1);  // icon, not cursor
  PutU16(out, images.size());
  uint32_t offset = 6 + 16 * images.size();
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(images[i].width & 0xFF);  // 256 would be written as 0
    out.push_back(images[i].height & 0xFF);
    out.push_back(0);
    out.push_back(0);
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, entries[i].size());
    PutU32(out, offset);
    offset += entries[i].size();
  }
  for (const Bytes& e : entries) out.insert(out.end(), e.begin(), e.end());
  return out;
}
