// Bitmap resources built byte by byte (a BITMAPINFOHEADER, an optional colour
// table, the bits), so decoder tests can state exactly what is stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

typedef std::vector<uint8_t> ByteString;

// A 40-byte header (or headerSize bytes, the rest zero).
ByteString BitmapHeader(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                        uint32_t headerSize = 40);
// 24-bit BI_RGB from 0x00RRGGBB pixels given top row first; stored bottom-up
// for a positive height, top-down for a negative one; rows padded to 4 bytes.
ByteString Rgb24Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& topDown);
// A 256-entry table from 0x00RRGGBB colours (missing entries black), each
// entry's fourth byte set to reserved.
ByteString ColourTable(const std::vector<uint32_t>& colours, uint8_t reserved = 0);
// 8-bit BI_RGB from indices given top row first, stored as Rgb24Bitmap does.
ByteString Indexed8Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& colours,
                          const std::vector<uint8_t>& topDown, uint8_t reserved = 0);
// 8-bit BI_RLE8 with the given code stream after the table.
ByteString Rle8Bitmap(int32_t width, int32_t height, const std::vector<uint32_t>& colours, const ByteString& codes);

void Append(ByteString& out, const ByteString& more);
