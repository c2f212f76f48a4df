#include "dls_builder.h"

#include "byte_sink.h"

namespace {

void PutName(ByteSink &sink, const std::string &name) {
  size_t info = BeginList(sink, "INFO");
  size_t inam = BeginChunk(sink, "INAM");
  for (char c : name) PutU8(sink, uint8_t(c));
  PutU8(sink, 0);
  EndChunk(sink, inam);
  EndChunk(sink, info);
}

// The unity note and loop of a wave; regions repeat it with their own unity
// note so drum keys can share one wave at different pitches.
void PutSampleInfo(ByteSink &sink, const Wave &wave, uint8_t unityNote) {
  size_t wsmp = BeginChunk(sink, "wsmp");
  PutU32(sink, 20);         // cbSize
  PutU16(sink, unityNote);  // usUnityNote
  PutU16(sink, 0);          // sFineTune
  PutU32(sink, 0);          // lAttenuation
  PutU32(sink, 0);          // fulOptions
  PutU32(sink, wave.looped ? 1 : 0);
  if (wave.looped) {
    PutU32(sink, 16);  // cbSize
    PutU32(sink, 0);   // WLOOP_TYPE_FORWARD
    PutU32(sink, wave.loopStart);
    PutU32(sink, wave.loopLength);
  }
  EndChunk(sink, wsmp);
}

void PutInstrument(ByteSink &sink, const DlsInstrument &instrument, const std::vector<Wave> &waves) {
  size_t ins = BeginList(sink, "ins ");
  size_t insh = BeginChunk(sink, "insh");
  PutU32(sink, uint32_t(instrument.regions.size()));
  PutU32(sink, instrument.bank);
  PutU32(sink, instrument.program);
  EndChunk(sink, insh);

  size_t lrgn = BeginList(sink, "lrgn");
  for (const DlsRegion &region : instrument.regions) {
    size_t rgn = BeginList(sink, "rgn ");
    size_t rgnh = BeginChunk(sink, "rgnh");
    PutU16(sink, region.keyLow);
    PutU16(sink, region.keyHigh);
    PutU16(sink, 0);    // velocity low
    PutU16(sink, 127);  // velocity high
    PutU16(sink, 0);    // fusOptions
    PutU16(sink, region.keyGroup);
    EndChunk(sink, rgnh);
    PutSampleInfo(sink, waves[region.waveIndex], region.unityNote);
    size_t wlnk = BeginChunk(sink, "wlnk");
    PutU16(sink, 0);  // fusOptions
    PutU16(sink, 0);  // usPhaseGroup
    PutU32(sink, 1);  // ulChannel: mono
    PutU32(sink, region.waveIndex);
    EndChunk(sink, wlnk);
    EndChunk(sink, rgn);
  }
  EndChunk(sink, lrgn);

  size_t lart = BeginList(sink, "lart");
  size_t art1 = BeginChunk(sink, "art1");
  PutU32(sink, 8);  // cbSize
  PutU32(sink, uint32_t(instrument.articulation.size()));
  for (const Connection &connection : instrument.articulation) {
    PutU16(sink, connection.source);
    PutU16(sink, connection.control);
    PutU16(sink, connection.destination);
    PutU16(sink, connection.transform);
    PutU32(sink, uint32_t(connection.scale));
  }
  EndChunk(sink, art1);
  EndChunk(sink, lart);

  PutName(sink, instrument.name);
  EndChunk(sink, ins);
}

void PutWave(ByteSink &sink, const Wave &wave) {
  size_t list = BeginList(sink, "wave");
  size_t fmt = BeginChunk(sink, "fmt ");
  PutU16(sink, 1);  // WAVE_FORMAT_PCM
  PutU16(sink, 1);  // mono
  PutU32(sink, wave.sampleRate);
  PutU32(sink, wave.sampleRate * 2);
  PutU16(sink, 2);   // block align
  PutU16(sink, 16);  // bits per sample
  PutU16(sink, 0);   // cbSize of the WAVEFORMATEX
  EndChunk(sink, fmt);
  PutSampleInfo(sink, wave, wave.unityNote);
  size_t data = BeginChunk(sink, "data");
  for (int16_t sample : wave.samples) PutU16(sink, uint16_t(sample));
  EndChunk(sink, data);
  PutName(sink, wave.name);
  EndChunk(sink, list);
}

}  // namespace

std::vector<uint8_t> BuildDlsFile(const DlsCollection &collection) {
  // The pool table needs each wave's offset inside the pool, so the pool is
  // built first and copied in after the table.
  ByteSink pool;
  std::vector<uint32_t> offsets;
  for (const Wave &wave : collection.waves) {
    offsets.push_back(uint32_t(pool.bytes.size()));
    PutWave(pool, wave);
  }

  ByteSink sink;
  size_t riff = BeginRiff(sink, "DLS ");
  size_t vers = BeginChunk(sink, "vers");
  PutU32(sink, 0x00010000);  // 1.0
  PutU32(sink, 0x00000000);  // .0.0
  EndChunk(sink, vers);
  size_t colh = BeginChunk(sink, "colh");
  PutU32(sink, uint32_t(collection.instruments.size()));
  EndChunk(sink, colh);

  size_t lins = BeginList(sink, "lins");
  for (const DlsInstrument &instrument : collection.instruments) PutInstrument(sink, instrument, collection.waves);
  EndChunk(sink, lins);

  size_t ptbl = BeginChunk(sink, "ptbl");
  PutU32(sink, 8);  // cbSize
  PutU32(sink, uint32_t(offsets.size()));
  for (uint32_t offset : offsets) PutU32(sink, offset);
  EndChunk(sink, ptbl);

  size_t wvpl = BeginList(sink, "wvpl");
  PutBytes(sink, pool.bytes);
  EndChunk(sink, wvpl);

  PutName(sink, collection.name);
  EndChunk(sink, riff);
  return sink.bytes;
}
