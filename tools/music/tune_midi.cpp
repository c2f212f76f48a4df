#include "tune_midi.h"

#include "byte_sink.h"
#include "voice_table.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Within one tick, note-offs go first so a note may end where the next one on
// the same key starts; set-up messages precede the notes they affect.
enum EventRank { NoteOffRank = 0, SetupRank = 1, NoteOnRank = 2 };

struct TimedEvent {
  uint32_t tick;
  int rank;
  std::vector<uint8_t> bytes;
};

void AddEvent(std::vector<TimedEvent> &events, uint32_t tick, int rank, std::vector<uint8_t> bytes) {
  events.push_back({tick, rank, std::move(bytes)});
}

void AddController(std::vector<TimedEvent> &events, uint8_t channel, uint8_t controller, int value) {
  AddEvent(events, 0, SetupRank, {uint8_t(0xB0 | channel), controller, uint8_t(std::clamp(value, 0, 127))});
}

void AddMeta(std::vector<TimedEvent> &events, uint32_t tick, uint8_t type, const std::vector<uint8_t> &data) {
  std::vector<uint8_t> bytes = {0xFF, type, uint8_t(data.size())};
  bytes.insert(bytes.end(), data.begin(), data.end());
  AddEvent(events, tick, SetupRank, bytes);
}

std::vector<uint8_t> Text(const char *text) {
  return std::vector<uint8_t>(text, text + std::char_traits<char>::length(text));
}

// A SoundFont 2.01 NRPN: NRPN 120 selects generator `generator`; the data
// entry, LSB then MSB, is centred on 8192 and counts in steps of `scale`
// generator units. FluidSynth adds it to every voice the channel starts; other
// synthesisers ignore NRPNs they do not know.
// FluidSynth 2.3.6, 2.3.7 and 2.4.0 to 2.4.4 act on the LSB as well, with the
// MSB still left from before, and then send the MSB to generator 0, the
// sample's start. So the message goes twice, which sets the same value twice
// everywhere else, and the second LSB there finds its MSB already in place;
// ResetSampleStart puts generator 0 back once all are sent.
void AddGeneratorOffset(std::vector<TimedEvent> &events, uint8_t channel, int generator, double offset, double scale) {
  int data = std::clamp(8192 + int(std::lround(offset / scale)), 0, 16383);
  for (int pass = 0; pass < 2; pass++) {
    AddController(events, channel, 99, 120);
    AddController(events, channel, 98, generator);
    AddController(events, channel, 38, data & 0x7F);
    AddController(events, channel, 6, data >> 7);
  }
}

void ResetSampleStart(std::vector<TimedEvent> &events, uint8_t channel) {
  AddController(events, channel, 99, 120);
  AddController(events, channel, 98, 0);
  AddController(events, channel, 38, 0);
  AddController(events, channel, 6, 64);
}

// SoundFont generator numbers and the defaults the offsets start from.
enum {
  GenVibratoToPitch = 6,
  GenVibratoDelay = 23,
  GenVibratoFrequency = 24,
  GenAttack = 34,
  GenDecay = 36,
  GenSustain = 37,
  GenRelease = 38,
};
const double defaultTimecents = -12000;  // every envelope and delay time
const double vibratoBaseHz = 8.176;      // frequency generator value 0

// The collection's articulation again, for synthesisers that play DLS
// instruments without it: the same envelope and vibrato as channel offsets.
void AddVoiceShape(std::vector<TimedEvent> &events, uint8_t channel, const VoiceShape &shape) {
  AddController(events, channel, 101, 127);  // no RPN selected: data entry goes nowhere else
  AddController(events, channel, 100, 127);
  AddGeneratorOffset(events, channel, GenAttack, SecondsToTimecents(shape.attack) - defaultTimecents, 2);
  if (!shape.sustains) {
    AddGeneratorOffset(events, channel, GenDecay, SecondsToTimecents(shape.decay) - defaultTimecents, 2);
    AddGeneratorOffset(events, channel, GenSustain, 1000, 1);  // centibels: silence
  }
  AddGeneratorOffset(events, channel, GenRelease, SecondsToTimecents(shape.release) - defaultTimecents, 2);
  if (shape.vibratoDepth > 0) {
    AddGeneratorOffset(events, channel, GenVibratoDelay, SecondsToTimecents(shape.vibratoDelay) - defaultTimecents, 2);
    AddGeneratorOffset(events, channel, GenVibratoFrequency, 1200.0 * std::log2(shape.vibratoRate / vibratoBaseHz), 4);
    AddGeneratorOffset(events, channel, GenVibratoToPitch, shape.vibratoDepth, 2);
  }
  ResetSampleStart(events, channel);
  AddController(events, channel, 101, 127);
  AddController(events, channel, 100, 127);
}

// Notes on one key must not overlap (a second note-on would be ended by the
// first note's note-off), and nothing may sound past the end, so the tune
// stops clean before it restarts.
std::vector<ScoreNote> UntangleNotes(std::vector<ScoreNote> notes, uint32_t endTick) {
  std::stable_sort(notes.begin(), notes.end(),
                   [](const ScoreNote &a, const ScoreNote &b) { return a.start < b.start; });
  std::vector<ScoreNote> kept;
  for (size_t i = 0; i < notes.size(); i++) {
    ScoreNote note = notes[i];
    if (note.start >= endTick) continue;
    uint32_t end = std::min(note.start + note.length, endTick);
    bool duplicate = false;
    for (size_t j = i + 1; j < notes.size() && notes[j].start < end; j++) {
      if (notes[j].key != note.key) continue;
      if (notes[j].start == note.start) duplicate = true;
      end = notes[j].start;
      break;
    }
    if (duplicate || end <= note.start) continue;
    note.length = end - note.start;
    kept.push_back(note);
  }
  return kept;
}

void PutTrack(ByteSink &file, std::vector<TimedEvent> events, const char *name, uint32_t endTick) {
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent &a, const TimedEvent &b) {
    return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
  });
  ByteSink track;
  std::vector<uint8_t> title = Text(name);
  PutVarLen(track, 0);
  PutU8(track, 0xFF);
  PutU8(track, 0x03);
  PutVarLen(track, uint32_t(title.size()));
  PutBytes(track, title);
  uint32_t now = 0;
  for (const TimedEvent &event : events) {
    PutVarLen(track, event.tick - now);
    now = event.tick;
    PutBytes(track, event.bytes);
  }
  PutVarLen(track, endTick - now);
  PutBytes(track, {0xFF, 0x2F, 0x00});

  PutFourCC(file, "MTrk");
  PutBigU32(file, uint32_t(track.bytes.size()));
  PutBytes(file, track.bytes);
}

std::vector<TimedEvent> ConductorEvents(const Score &score) {
  std::vector<TimedEvent> events;
  uint32_t tempo = score.microsPerQuarter;
  AddMeta(events, 0, 0x51, {uint8_t(tempo >> 16), uint8_t(tempo >> 8), uint8_t(tempo)});
  AddMeta(events, 0, 0x59, {uint8_t(score.keySharps), 0});
  for (const MeterChange &meter : score.meters) AddMeta(events, meter.tick, 0x58, {meter.beatsPerBar, 2, 24, 8});
  return events;
}

std::vector<TimedEvent> PartEvents(const ScorePart &part, uint32_t endTick) {
  std::vector<TimedEvent> events;
  uint8_t ch = part.channel;
  AddController(events, ch, 0, 0);  // bank 0
  AddController(events, ch, 32, 0);
  AddEvent(events, 0, SetupRank, {uint8_t(0xC0 | ch), part.program});
  AddController(events, ch, 7, part.volume);
  AddController(events, ch, 10, part.pan);
  AddController(events, ch, 11, 127);
  AddController(events, ch, 91, part.reverb);
  AddController(events, ch, 93, part.chorus);
  if (const VoiceShape *shape = FindVoiceShape(part.program, ch == 9)) AddVoiceShape(events, ch, *shape);
  for (const ScoreNote &note : UntangleNotes(part.notes, endTick)) {
    AddEvent(events, note.start, NoteOnRank, {uint8_t(0x90 | ch), note.key, note.velocity});
    AddEvent(events, note.start + note.length, NoteOffRank, {uint8_t(0x80 | ch), note.key, 64});
  }
  return events;
}

}  // namespace

std::vector<uint8_t> BuildTuneMidi(const Score &score) {
  ByteSink file;
  PutFourCC(file, "MThd");
  PutBigU32(file, 6);
  PutBigU16(file, 1);  // format 1
  PutBigU16(file, uint32_t(score.parts.size() + 1));
  PutBigU16(file, score.ticksPerQuarter);
  PutTrack(file, ConductorEvents(score), "Glimmerz theme", score.lengthTicks);
  for (const ScorePart &part : score.parts)
    PutTrack(file, PartEvents(part, score.lengthTicks), part.name, score.lengthTicks);
  return file.bytes;
}
