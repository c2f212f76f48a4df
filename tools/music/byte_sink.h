// Byte building for the files the music generators write: RIFF chunks are
// little-endian with patched sizes, MIDI chunks big-endian with variable-length
// numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ByteSink {
  std::vector<uint8_t> bytes;
};

void PutU8(ByteSink &sink, uint32_t value);
void PutU16(ByteSink &sink, uint32_t value);
void PutU32(ByteSink &sink, uint32_t value);
void PutFourCC(ByteSink &sink, const char *id);
void PutBytes(ByteSink &sink, const std::vector<uint8_t> &bytes);

// RIFF: BeginChunk writes the id and a size placeholder and returns where the
// size goes; EndChunk fills it in and pads the chunk to an even length.
size_t BeginChunk(ByteSink &sink, const char *id);
size_t BeginList(ByteSink &sink, const char *listType);
size_t BeginRiff(ByteSink &sink, const char *formType);
void EndChunk(ByteSink &sink, size_t sizeAt);

// Standard MIDI File pieces.
void PutBigU16(ByteSink &sink, uint32_t value);
void PutBigU32(ByteSink &sink, uint32_t value);
void PutVarLen(ByteSink &sink, uint32_t value);

// Writes the whole file at once; 0 when it cannot.
int WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes);
