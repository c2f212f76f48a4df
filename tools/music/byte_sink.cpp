#include "byte_sink.h"

#include <cstdio>

void PutU8(ByteSink &sink, uint32_t value) { sink.bytes.push_back(uint8_t(value)); }

void PutU16(ByteSink &sink, uint32_t value) {
  PutU8(sink, value);
  PutU8(sink, value >> 8);
}

void PutU32(ByteSink &sink, uint32_t value) {
  PutU16(sink, value);
  PutU16(sink, value >> 16);
}

void PutFourCC(ByteSink &sink, const char *id) {
  for (int i = 0; i < 4; i++) PutU8(sink, uint8_t(id[i]));
}

void PutBytes(ByteSink &sink, const std::vector<uint8_t> &bytes) {
  sink.bytes.insert(sink.bytes.end(), bytes.begin(), bytes.end());
}

size_t BeginChunk(ByteSink &sink, const char *id) {
  PutFourCC(sink, id);
  size_t sizeAt = sink.bytes.size();
  PutU32(sink, 0);
  return sizeAt;
}

size_t BeginList(ByteSink &sink, const char *listType) {
  size_t sizeAt = BeginChunk(sink, "LIST");
  PutFourCC(sink, listType);
  return sizeAt;
}

size_t BeginRiff(ByteSink &sink, const char *formType) {
  size_t sizeAt = BeginChunk(sink, "RIFF");
  PutFourCC(sink, formType);
  return sizeAt;
}

void EndChunk(ByteSink &sink, size_t sizeAt) {
  uint32_t size = uint32_t(sink.bytes.size() - sizeAt - 4);
  for (int i = 0; i < 4; i++) sink.bytes[sizeAt + i] = uint8_t(size >> (8 * i));
  if (size & 1) PutU8(sink, 0);
}

void PutBigU16(ByteSink &sink, uint32_t value) {
  PutU8(sink, value >> 8);
  PutU8(sink, value);
}

void PutBigU32(ByteSink &sink, uint32_t value) {
  PutBigU16(sink, value >> 16);
  PutBigU16(sink, value);
}

void PutVarLen(ByteSink &sink, uint32_t value) {
  uint8_t groups[5];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (count > 1) PutU8(sink, groups[--count] | 0x80);
  PutU8(sink, groups[0]);
}

int WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes) {
  FILE *file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  int closed = std::fclose(file) == 0;
  return written == bytes.size() && closed;
}
