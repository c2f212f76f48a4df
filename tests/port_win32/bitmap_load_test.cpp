// Bitmap resources as the system's loader reads them, damaged ones included.
#include <gtest/gtest.h>

#include <vector>

#include "port_internal.h"
#include "win32/win32_internal.h"

namespace {
void PutU32(std::vector<BYTE>& out, DWORD v) {
  for (int i = 0; i < 4; ++i) out.push_back((BYTE)(v >> (8 * i)));
}

// An 8-bit bitmap's header and a colour table where entry n is 0x0000nn (blue n).
std::vector<BYTE> Header8(int width, int height, DWORD compression) {
  std::vector<BYTE> b;
  for (DWORD v : {40u, (DWORD)width, (DWORD)height}) PutU32(b, v);
  b.insert(b.end(), {1, 0, 8, 0});
  PutU32(b, compression);
  for (int i = 0; i < 5; ++i) PutU32(b, 0);
  for (int i = 0; i < 256; ++i) b.insert(b.end(), {(BYTE)i, 0, 0, 0});
  return b;
}

std::vector<uint32_t> Decode(const std::vector<BYTE>& bytes) {
  PortBitmap* b = PortDecodeBitmap(bytes.data(), (DWORD)bytes.size());
  if (!b) return {};
  std::vector<uint32_t> pixels = b->pixels;
  delete b;
  return pixels;
}
}  // namespace

TEST(PortBitmapLoad, Rle8CodesLandBottomRowFirstAndDamagedBitmapsStopAtTheirEnd) {
  std::vector<BYTE> b = Header8(4, 3, 1);
  b.insert(b.end(), {2, 7, 0, 3, 1, 2, 3, 0,  // bottom row: a run of two 7s, a padded literal cut at the edge
                     0, 0,                    // next row
                     0, 2, 1, 1,              // jump one right and one up
                     1, 9, 0, 1});            // one 9, end of picture
  EXPECT_EQ(Decode(b), (std::vector<uint32_t>{0, 9, 0, 0, 0, 0, 0, 0, 7, 7, 1, 2}));

  std::vector<BYTE> plain = Header8(2, 2, 0);
  plain.insert(plain.end(), {1, 2, 0, 0, 3});  // the top row's second pixel is missing
  EXPECT_EQ(Decode(plain), (std::vector<uint32_t>{3, 0, 1, 2}));
  std::vector<BYTE> literalTooLong = Header8(8, 8, 1);
  literalTooLong.insert(literalTooLong.end(), {0, 200, 5});
  EXPECT_EQ(Decode(literalTooLong).size(), 64u);

  EXPECT_TRUE(Decode(std::vector<BYTE>(plain.begin(), plain.begin() + 300)).empty());  // colour table cut short
  EXPECT_TRUE(Decode(Header8(0, 2, 0)).empty());
  EXPECT_TRUE(Decode(Header8(1 << 20, 1 << 20, 1)).empty());
  EXPECT_TRUE(Decode(Header8(2, -2, 1)).empty());  // top-down pictures cannot be run-length encoded
}
