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

TEST(PortBitmapLoad, Rle8RunsLiteralsJumpsAndLineEndsLandBottomRowFirst) {
  std::vector<BYTE> b = Header8(4, 3, 1);
  b.insert(b.end(), {2, 7, 0, 3, 1, 2, 3, 0,  // bottom row: a run of two 7s, a padded literal cut at the edge
                     0, 0,                    // next row
                     0, 2, 1, 1,              // jump one right and one up: row 3 (the top), column 1
                     1, 9, 0, 1});            // one 9, end of picture
  EXPECT_EQ(Decode(b), (std::vector<uint32_t>{0, 9, 0, 0,  //
                                              0, 0, 0, 0,  //
                                              7, 7, 1, 2}));
}

TEST(PortBitmapLoad, DamagedBitmapsYieldNothingOrStopAtTheirEnd) {
  std::vector<BYTE> good = Header8(2, 2, 0);
  good.insert(good.end(), {1, 2, 0, 0, 3, 4, 0, 0});
  EXPECT_EQ(Decode(good), (std::vector<uint32_t>{3, 4, 1, 2}));

  std::vector<BYTE> shortBits(good.begin(), good.end() - 5);  // the top row is missing
  EXPECT_EQ(Decode(shortBits), (std::vector<uint32_t>{0, 0, 1, 2}));
  std::vector<BYTE> rleCut = Header8(8, 8, 1);
  rleCut.insert(rleCut.end(), {0, 200, 5});  // a literal longer than what is left
  EXPECT_EQ(Decode(rleCut).size(), 64u);

  EXPECT_TRUE(Decode(std::vector<BYTE>(good.begin(), good.begin() + 300)).empty());  // table cut short
  EXPECT_TRUE(Decode(Header8(0, 2, 0)).empty());
  EXPECT_TRUE(Decode(Header8(1 << 20, 1 << 20, 1)).empty());
  EXPECT_TRUE(Decode(Header8(2, -2, 1)).empty());  // a top-down picture cannot be run-length encoded
  std::vector<BYTE> fourBits = good;
  fourBits[14] = 4;
  EXPECT_TRUE(Decode(fourBits).empty());
  EXPECT_EQ(PortDecodeBitmap(good.data(), 12), nullptr);
}

TEST(PortBitmapLoad, ThePreviewFramesLoadAsBitmapsOfTheirSizeAndFreeOnce) {
  for (int id = 101; id <= 110; ++id) {
    HGDIOBJ frame = LoadImageA(PortProgramInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
    ASSERT_NE(frame, nullptr) << id;
    BITMAP info = {};
    EXPECT_EQ(GetObjectA(frame, 24, &info), 24);
    EXPECT_EQ(info.bmWidth, 128);
    EXPECT_EQ(info.bmHeight, 96);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, frame);
    EXPECT_FALSE(DeleteObject(frame)) << "still selected";
    SelectObject(dc, previous);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(frame));
    EXPECT_FALSE(DeleteObject(frame));
  }
  EXPECT_EQ(LoadImageA(PortProgramInstance(), MAKEINTRESOURCEA(150), IMAGE_BITMAP, 0, 0, 0), nullptr);
}
