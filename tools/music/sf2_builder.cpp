#include "sf2_builder.h"

#include "byte_sink.h"

#include <algorithm>

namespace {

// SoundFont generator numbers.
enum : uint16_t {
  GenInstrument = 41,
  GenKeyRange = 43,
  GenSampleId = 53,
  GenSampleModes = 54,
  GenExclusiveClass = 57,
  GenOverridingRootKey = 58,
};
constexpr uint16_t drumBank = 128;
// Every sample is followed by this many zero points, as the format asks.
constexpr uint32_t samplePadding = 46;

void PutName20(ByteSink &sink, const std::string &name) {
  for (size_t i = 0; i < 20; i++) PutU8(sink, i < name.size() && i < 19 ? uint8_t(name[i]) : 0);
}

void PutGenerator(ByteSink &sink, uint16_t generator, uint16_t amount) {
  PutU16(sink, generator);
  PutU16(sink, amount);
}

void PutInfo(ByteSink &sink, const std::string &name) {
  size_t info = BeginList(sink, "INFO");
  size_t ifil = BeginChunk(sink, "ifil");
  PutU16(sink, 2);
  PutU16(sink, 1);
  EndChunk(sink, ifil);
  size_t isng = BeginChunk(sink, "isng");
  for (char c : std::string("EMU8000")) PutU8(sink, uint8_t(c));
  PutU8(sink, 0);
  EndChunk(sink, isng);
  size_t inam = BeginChunk(sink, "INAM");
  for (char c : name) PutU8(sink, uint8_t(c));
  PutU8(sink, 0);
  if (name.size() % 2 == 0) PutU8(sink, 0);  // names end on an even length
  EndChunk(sink, inam);
  EndChunk(sink, info);
}

// The sample points of every wave one after another; their first points.
std::vector<uint32_t> PutSamples(ByteSink &sink, const std::vector<Wave> &waves) {
  std::vector<uint32_t> starts;
  size_t sdta = BeginList(sink, "sdta");
  size_t smpl = BeginChunk(sink, "smpl");
  uint32_t at = 0;
  for (const Wave &wave : waves) {
    starts.push_back(at);
    for (int16_t sample : wave.samples) PutU16(sink, uint16_t(sample));
    for (uint32_t i = 0; i < samplePadding; i++) PutU16(sink, 0);
    at += uint32_t(wave.samples.size()) + samplePadding;
  }
  EndChunk(sink, smpl);
  EndChunk(sink, sdta);
  return starts;
}

void PutSampleHeaders(ByteSink &sink, const std::vector<Wave> &waves, const std::vector<uint32_t> &starts) {
  size_t shdr = BeginChunk(sink, "shdr");
  for (size_t i = 0; i < waves.size(); i++) {
    const Wave &wave = waves[i];
    uint32_t start = starts[i];
    uint32_t end = start + uint32_t(wave.samples.size());
    // An unlooped sample still names a loop inside itself; it is never used.
    uint32_t loopStart = wave.looped ? start + wave.loopStart : start + std::min<uint32_t>(8, end - start);
    uint32_t loopEnd =
        wave.looped ? loopStart + wave.loopLength : std::max(loopStart, end - std::min<uint32_t>(8, end - start));
    PutName20(sink, wave.name);
    PutU32(sink, start);
    PutU32(sink, end);
    PutU32(sink, loopStart);
    PutU32(sink, loopEnd);
    PutU32(sink, wave.sampleRate);
    PutU8(sink, wave.unityNote);
    PutU8(sink, 0);   // pitch correction
    PutU16(sink, 0);  // sample link
    PutU16(sink, 1);  // mono
  }
  PutName20(sink, "EOS");
  for (int i = 0; i < 26; i++) PutU8(sink, 0);
  EndChunk(sink, shdr);
}

// Bags and generators of the instrument level: one zone per region.
void PutInstruments(ByteSink &sink, const DlsCollection &collection) {
  ByteSink inst, ibag, igen;
  uint16_t bags = 0, generators = 0;
  for (const DlsInstrument &instrument : collection.instruments) {
    PutName20(inst, instrument.name);
    PutU16(inst, bags);
    for (const DlsRegion &region : instrument.regions) {
      PutU16(ibag, generators);
      PutU16(ibag, 0);
      const Wave &wave = collection.waves[region.waveIndex];
      PutGenerator(igen, GenKeyRange, uint16_t(region.keyLow | region.keyHigh << 8));
      PutGenerator(igen, GenOverridingRootKey, region.unityNote);
      generators += 2;
      if (region.keyGroup) {
        PutGenerator(igen, GenExclusiveClass, region.keyGroup);
        generators++;
      }
      if (wave.looped) {
        PutGenerator(igen, GenSampleModes, 1);
        generators++;
      }
      PutGenerator(igen, GenSampleId, uint16_t(region.waveIndex));
      generators++;
      bags++;
    }
  }
  PutName20(inst, "EOI");
  PutU16(inst, bags);
  PutU16(ibag, generators);
  PutU16(ibag, 0);
  PutGenerator(igen, 0, 0);

  size_t c = BeginChunk(sink, "inst");
  PutBytes(sink, inst.bytes);
  EndChunk(sink, c);
  c = BeginChunk(sink, "ibag");
  PutBytes(sink, ibag.bytes);
  EndChunk(sink, c);
  c = BeginChunk(sink, "imod");
  for (int i = 0; i < 10; i++) PutU8(sink, 0);
  EndChunk(sink, c);
  c = BeginChunk(sink, "igen");
  PutBytes(sink, igen.bytes);
  EndChunk(sink, c);
}

// One preset a DLS instrument, of one zone naming its instrument.
void PutPresets(ByteSink &sink, const DlsCollection &collection) {
  size_t c = BeginChunk(sink, "phdr");
  uint16_t index = 0;
  for (const DlsInstrument &instrument : collection.instruments) {
    PutName20(sink, instrument.name);
    PutU16(sink, uint16_t(instrument.program));
    PutU16(sink, (instrument.bank & instrumentDrumsFlag) ? drumBank : uint16_t(instrument.bank >> 8 & 0x7F));
    PutU16(sink, index++);
    PutU32(sink, 0);
    PutU32(sink, 0);
    PutU32(sink, 0);
  }
  PutName20(sink, "EOP");
  for (int i = 0; i < 4; i++) PutU8(sink, 0);
  PutU16(sink, index);
  for (int i = 0; i < 12; i++) PutU8(sink, 0);
  EndChunk(sink, c);
  c = BeginChunk(sink, "pbag");
  for (uint16_t i = 0; i <= index; i++) {
    PutU16(sink, i);
    PutU16(sink, 0);
  }
  EndChunk(sink, c);
  c = BeginChunk(sink, "pmod");
  for (int i = 0; i < 10; i++) PutU8(sink, 0);
  EndChunk(sink, c);
  c = BeginChunk(sink, "pgen");
  for (uint16_t i = 0; i < index; i++) PutGenerator(sink, GenInstrument, i);
  PutGenerator(sink, 0, 0);
  EndChunk(sink, c);
}

}  // namespace

std::vector<uint8_t> BuildSf2File(const DlsCollection &collection) {
  ByteSink sink;
  size_t riff = BeginRiff(sink, "sfbk");
  PutInfo(sink, collection.name);
  std::vector<uint32_t> starts = PutSamples(sink, collection.waves);
  size_t pdta = BeginList(sink, "pdta");
  PutPresets(sink, collection);
  PutInstruments(sink, collection);
  PutSampleHeaders(sink, collection.waves, starts);
  EndChunk(sink, pdta);
  EndChunk(sink, riff);
  return sink.bytes;
}
