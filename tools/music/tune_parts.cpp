// The arrangement: who plays what, section by section. The tune is a bright
// jingle in D major (written in C): a hooky verse heard three times with more
// instruments each time, a bridge that climbs through two bars of 5/4, a
// quiet breakdown on bells, and an outro whose last bar rings out and leads
// back, through a bell pickup, into the intro when the tune starts over.
#include "tune_form.h"
#include "voice_table.h"

#include <algorithm>

namespace {

enum DrumKey {
  Kick = 36,
  Snare = 38,
  Clap = 39,
  ClosedHat = 42,
  LowTom = 45,
  OpenHat = 46,
  MidTom = 47,
  CrashCymbal = 49,
  HighTom = 50,
  Tambourine = 54,
};

uint32_t At(int bar, int sixteenths) { return BarAt(bar).start + uint32_t(sixteenths) * sixteenth; }

const Bar &BarOfTick(uint32_t tick) {
  for (int number = BarCount(); number >= 1; number--)
    if (BarAt(number).start <= tick) return BarAt(number);
  return BarAt(1);
}

// ---------------------------------------------------------------- the mix
// Each part's pan (controller 10, 64 the middle) is set once, in its
// ScorePart. Bass and drums hold the middle, where the kick belongs (the kit
// is one channel and its instruments carry no pan of their own, so the hats
// stand there too); the melody stands just right of the middle, the brass a
// little further. Everyone else stands wide, across from whoever plays beside
// them: piano (left) and guitar, strings (left) and pad or flute, marimba
// (left) and bells, vibraphone and crystal (left) and the pad in the intro and
// the breakdown. So each section stays balanced, and the sides differ enough
// to sound wide: bass, drums and melody carry three quarters of the sound, so
// a part moved nearer the middle narrows the whole mix.

// ---------------------------------------------------------------- the tune

const char *const verseLine =  // bars 5-12: the hook, question and answer
    "G4:2 C5:2 E5:2 G5:4 E5:2 D5:2 C5:2 | E5:6 r:2 C5:2 A4:2 C5:2 E5:2 |"
    "F5:4 E5:2 D5:2 C5:4 A4:2 C5:2 | D5:8 r:4 G4:2 B4:2 |"
    "C5:2 E5:2 G5:2 C6:4 B5:2 A5:2 G5:2 | A5:6 r:2 G5:2 E5:2 C5:2 E5:2 |"
    "F5:2 A5:2 G5:2 F5:2 E5:2 D5:2 B4:2 D5:2 | C5:8 r:8";

const char *const verseLineLeadingOn =  // the verse again, ending with a run into what follows
    "G4:2 C5:2 E5:2 G5:4 E5:2 D5:2 C5:2 | E5:6 r:2 C5:2 A4:2 C5:2 E5:2 |"
    "F5:4 E5:2 D5:2 C5:4 A4:2 C5:2 | D5:4 E5:2 D5:2 B4:4 G4:2 B4:2 |"
    "C5:2 E5:2 G5:2 C6:4 B5:2 A5:2 G5:2 | A5:6 r:2 G5:2 E5:2 C5:2 E5:2 |"
    "F5:2 A5:2 G5:2 F5:2 E5:2 D5:2 B4:2 D5:2 | C5:6 r:2 E5:2 F5:2 G5:4";

const char *const bridgeLine =  // bars 21-28: longer notes, then the 5/4 climb
    "A5:6 G5:2 F5:4 C5:4 | D5:6 E5:2 F5:4 G5:4 | G5:6 F5:2 E5:4 B4:4 | C5:12 r:4 |"
    "F5:6 E5:2 D5:4 A4:4 | B4:4 C5:2 D5:2 G5:8 |"
    "A5:2 G5:2 F5:2 G5:2 A5:4 B5:2 A5:2 G5:4 | C6:6 B5:2 A5:4 G5:2 F5:2 E5:2 D5:2";

const char *const outroLine =  // bars 41-44: the run up and the button
    "A5:4 G5:2 F5:2 A5:4 C6:4 | B5:4 A5:2 G5:2 F5:4 D5:4 |"
    "C5:2 D5:2 E5:2 F5:2 G5:2 A5:2 B5:2 D6:2 | C6:12 r:8";

const char *const breakdownBells =  // bars 29-32: falling triads, then a run back in
    "E6:2 r:2 C6:2 r:2 A5:4 r:4 | F6:2 r:2 C6:2 r:2 A5:4 r:4 |"
    "G6:2 r:2 E6:2 r:2 C6:4 r:4 | D6:2 r:2 B5:2 r:2 G5:2 A5:2 B5:2 D6:2";

const char *const pickupBells = "r:12 G5:2 C6:2 E6:2 G6:2";  // bar 44, back into the intro

std::vector<LineNote> Join(std::vector<LineNote> a, const std::vector<LineNote> &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<LineNote> ReadTuneLine() {
  std::vector<LineNote> line = ReadLine(5, verseLine);
  line = Join(line, ReadLine(13, verseLineLeadingOn));
  line = Join(line, ReadLine(21, bridgeLine));
  line = Join(line, ReadLine(33, verseLineLeadingOn));
  return Join(line, ReadLine(41, outroLine));
}

// A sung phrasing: a short breath between notes, stress on the beat and on
// long notes.
void PlayLine(ScorePart &part, const std::vector<LineNote> &line, int shift, int level, int fromBar, int toBar) {
  for (const LineNote &note : line) {
    if (note.pitch < 0) continue;
    const Bar &bar = BarOfTick(note.start);
    if (bar.number < fromBar || bar.number > toBar) continue;
    int velocity = SectionLoudness(bar.section) + level;
    if ((note.start - bar.start) % ticksPerQuarter == 0) velocity += 8;
    if (note.length >= 4 * sixteenth) velocity += 4;
    if (note.start % (2 * sixteenth) != 0) velocity -= 4;
    uint32_t gap = note.length >= 4 * sixteenth ? 60 : 30;
    AddNote(part, note.start, note.length - gap, note.pitch + shift, velocity + Jitter(3));
  }
}

// A second voice under the tune: a chord tone a third to a fourth below on
// long notes and on the beat, the scale's third below on the quick ones between.
void PlayHarmony(ScorePart &part, const std::vector<LineNote> &line, int level, int fromBar, int toBar) {
  for (const LineNote &note : line) {
    if (note.pitch < 0) continue;
    const Bar &bar = BarOfTick(note.start);
    if (bar.number < fromBar || bar.number > toBar) continue;
    int pitch = MoveInScale(note.pitch, -2);
    if (note.length >= 4 * sixteenth || (note.start - bar.start) % ticksPerQuarter == 0) {
      const Chord &chord = ChordAt(note.start);
      bool found = false;
      for (int below = 3; below <= 5 && !found; below++) {
        int candidate = note.pitch - below;
        for (int interval : chord.intervals)
          if ((candidate - chord.root - interval) % 12 == 0) found = true;
        if (found) pitch = candidate;
      }
    }
    int velocity = SectionLoudness(bar.section) + level + Jitter(3);
    AddNote(part, note.start, note.length - 40, pitch, velocity);
  }
}

// ---------------------------------------------------------------- accompaniment

struct Hit {
  int at, length;  // sixteenths into the bar
};

// Struck chords at the given places of each bar, voiced smoothly.
void AddChordHits(ScorePart &part, int bar, const std::vector<Hit> &hits, int low, int high, int voices, int level,
                  std::vector<int> &previous, int roll = 0) {
  for (const Hit &hit : hits) {
    if (hit.at >= BarAt(bar).beats * 4) continue;
    uint32_t start = At(bar, hit.at);
    std::vector<int> voicing = VoiceChord(ChordAt(start), low, high, previous, voices);
    int velocity = SectionLoudness(BarAt(bar).section) + level + (hit.at % 4 == 0 ? 4 : 0);
    for (size_t i = 0; i < voicing.size(); i++) {
      uint32_t delay = uint32_t(roll) * uint32_t(i);
      AddNote(part, start + delay, uint32_t(hit.length) * sixteenth - 20 - delay, voicing[i], velocity + Jitter(3));
    }
    previous = voicing;
  }
}

// Bass: pattern entries are (sixteenth, length, step), the step in semitones
// above the chord's bass note: 0 the note itself, 7 its fifth, 12 its octave.
struct BassStep {
  int at, length, step;
};

void AddBassBar(ScorePart &part, int bar, const std::vector<BassStep> &pattern, int level) {
  for (const BassStep &entry : pattern) {
    if (entry.at >= BarAt(bar).beats * 4) continue;
    uint32_t start = At(bar, entry.at);
    int lowest = 33;  // A1: the bass keeps its roots between A1 and G#2
    int root = lowest + (ChordAt(start).bass - lowest % 12 + 12) % 12;
    int pitch = root + entry.step;
    int velocity = SectionLoudness(BarAt(bar).section) + level + (entry.at % 4 == 0 ? 6 : 0);
    AddNote(part, start, uint32_t(entry.length) * sixteenth - 15, pitch, velocity + Jitter(3));
  }
}

ScorePart WriteLead() {
  ScorePart part{"Lead", 0, SquareLead, 96, 72, 40, 12, {}};
  PlayLine(part, ReadTuneLine(), 0, 0, 1, 44);
  return part;
}

ScorePart WriteFlute() {
  ScorePart part{"Flute", 1, Flute, 84, 112, 50, 0, {}};
  std::vector<LineNote> tune = ReadTuneLine();
  PlayLine(part, tune, -12, -16, 21, 28);  // the bridge an octave down
  PlayHarmony(part, tune, -14, 33, 43);
  AddNote(part, At(44, 0), 11 * sixteenth, PitchOfName("G5"), SectionLoudness(Outro) - 10);
  return part;
}

ScorePart WritePiano() {
  ScorePart part{"Tine piano", 2, TinePiano, 84, 12, 40, 20, {}};
  std::vector<int> previous;
  const std::vector<Hit> comp = {{0, 5}, {6, 3}, {10, 2}, {12, 4}};
  const std::vector<Hit> halves = {{0, 8}, {8, 8}, {16, 4}};
  for (int bar = 5; bar <= 43; bar++) {
    Section section = BarAt(bar).section;
    if (section == Breakdown) continue;
    AddChordHits(part, bar, section == Bridge ? halves : comp, 55, 72, 3, -16, previous);
  }
  return part;
}

ScorePart WriteStrings() {
  ScorePart part{"Strings", 3, Strings, 82, 12, 64, 0, {}};
  AddHeldChords(part, 21, 28, 60, 79, 4, SectionLoudness(Bridge) - 26);
  AddHeldChords(part, 33, 43, 60, 79, 4, SectionLoudness(VerseThree) - 28);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("E5"), 80);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("G5"), 80);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("C6"), 80);
  return part;
}

ScorePart WritePad() {
  ScorePart part{"Pad", 4, WarmPad, 80, 116, 64, 30, {}};
  AddHeldChords(part, 1, 20, 50, 67, 4, 66);
  AddHeldChords(part, 29, 43, 50, 67, 4, 64);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("G3"), 64);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("C4"), 64);
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("E4"), 64);
  return part;
}

ScorePart WriteBass() {
  ScorePart part{"Bass", 5, SynthBass, 92, 64, 12, 0, {}};
  const std::vector<BassStep> bounce = {{0, 3, 0}, {6, 2, 0}, {8, 3, 7}, {12, 2, 12}, {14, 2, 7}};
  const std::vector<BassStep> drive = {{0, 2, 0},  {2, 2, 0},   {4, 2, 12}, {6, 2, 0},  {8, 2, 0},
                                       {10, 2, 0}, {12, 2, 12}, {14, 2, 7}, {16, 2, 0}, {18, 2, 12}};
  const std::vector<BassStep> hold = {{0, 16, 0}};
  const std::vector<BassStep> walkIn = {{0, 12, 0}, {12, 2, 0}, {14, 2, 7}, {16, 2, 12}, {18, 2, 7}};
  AddBassBar(part, 3, hold, -10);
  AddBassBar(part, 4, walkIn, -6);
  for (int bar = 5; bar <= 43; bar++) {
    Section section = BarAt(bar).section;
    const std::vector<BassStep> &pattern = section == Bridge ? drive : section == Breakdown ? hold : bounce;
    AddBassBar(part, bar, pattern, section == Breakdown ? -12 : 0);
  }
  AddBassBar(part, 44, {{0, 10, 0}}, 6);
  return part;
}

ScorePart WriteBells() {
  ScorePart part{"Glockenspiel", 6, Glockenspiel, 110, 108, 50, 0, {}};
  std::vector<LineNote> tune = ReadTuneLine();
  PlayLine(part, tune, 12, -22, 13, 20);
  PlayLine(part, tune, 12, -26, 37, 40);
  PlayLine(part, ReadLine(29, breakdownBells), 0, 4, 29, 32);
  PlayLine(part, ReadLine(44, pickupBells), 0, -24, 44, 44);
  return part;
}

ScorePart WriteMarimba() {
  ScorePart part{"Marimba", 7, Marimba, 110, 16, 30, 0, {}};
  const int shape[] = {0, 1, 2, 3, 4, 3, 2, 1};
  for (int bar = 5; bar <= 43; bar++) {
    Section section = BarAt(bar).section;
    if (section == Bridge || section == Breakdown) continue;
    for (int eighth = 0; eighth < BarAt(bar).beats * 2; eighth++) {
      uint32_t start = At(bar, eighth * 2);
      std::vector<int> ladder = ChordLadder(ChordAt(start), 62, 5);
      int velocity = SectionLoudness(section) - 18 + (eighth % 2 == 0 ? 6 : 0);
      AddNote(part, start, 2 * sixteenth - 10, ladder[size_t(shape[eighth % 8])], velocity + Jitter(4));
    }
  }
  return part;
}

ScorePart WriteBrass() {
  ScorePart part{"Brass", 8, BrassSection, 72, 84, 40, 0, {}};
  std::vector<int> previous;
  AddChordHits(part, 4, {{12, 2}, {16, 4}}, 55, 72, 4, -6, previous);
  AddChordHits(part, 27, {{12, 2}, {16, 3}}, 55, 72, 4, -8, previous);
  AddChordHits(part, 28, {{12, 2}, {16, 3}}, 55, 72, 4, -4, previous);
  for (int bar = 33; bar <= 39; bar += 2) AddChordHits(part, bar, {{0, 3}, {6, 2}}, 55, 72, 4, -12, previous);
  AddChordHits(part, 41, {{0, 3}, {6, 2}, {10, 2}}, 55, 72, 4, -8, previous);
  AddChordHits(part, 42, {{0, 3}, {6, 2}, {10, 2}}, 55, 72, 4, -8, previous);
  AddChordHits(part, 43, {{0, 2}, {4, 2}, {8, 2}, {12, 2}}, 55, 72, 4, -4, previous);
  AddChordHits(part, 44, {{0, 12}}, 55, 72, 4, 0, previous);
  return part;
}

ScorePart WriteVibes() {
  ScorePart part{"Vibraphone", 10, Vibraphone, 100, 20, 64, 0, {}};
  std::vector<int> previous;
  for (int bar = 1; bar <= 3; bar++) AddChordHits(part, bar, {{0, 16}}, 57, 76, 4, -8, previous, 40);
  AddChordHits(part, 4, {{0, 12}}, 57, 76, 4, -8, previous, 40);
  for (int bar = 29; bar <= 32; bar++) AddChordHits(part, bar, {{0, 8}, {8, 8}}, 57, 76, 4, 0, previous, 40);
  return part;
}

ScorePart WriteGuitar() {
  ScorePart part{"Steel guitar", 11, SteelGuitar, 74, 120, 36, 24, {}};
  std::vector<int> previous;
  const std::vector<Hit> offbeats = {{2, 1}, {6, 1}, {10, 1}, {14, 1}, {18, 1}};
  for (int bar = 21; bar <= 43; bar++) {
    Section section = BarAt(bar).section;
    if (section == Breakdown) continue;
    AddChordHits(part, bar, offbeats, 52, 71, 4, -24, previous, 10);
  }
  return part;
}

ScorePart WriteSparkle() {
  ScorePart part{"Crystal", 12, Crystal, 100, 8, 90, 40, {}};
  for (int bar : {1, 5, 13, 21, 29, 33, 41}) {
    const Chord &chord = ChordAt(At(bar, 0));
    int fifth = (chord.root + 7) % 12;
    int pitch = 84 + (fifth - 84 % 12 + 12) % 12;
    AddNote(part, At(bar, 0), 8 * ticksPerQuarter, pitch, 84);
  }
  AddNote(part, At(44, 0), 12 * sixteenth, PitchOfName("C7"), 84);
  return part;
}

// ---------------------------------------------------------------- drums

void AddDrumFill(ScorePart &part, int bar, int from, int level) {
  const int toms[] = {HighTom, HighTom, MidTom, MidTom, LowTom, LowTom, LowTom, LowTom};
  for (int s = from, i = 0; s < BarAt(bar).beats * 4; s++, i++)
    AddDrum(part, At(bar, s), sixteenth, toms[i % 8], level + 2 * i);
}

void AddSnareRoll(ScorePart &part, int bar, int from, int softest, int loudest) {
  int steps = BarAt(bar).beats * 4 - from;
  for (int i = 0; i < steps; i++)
    AddDrum(part, At(bar, from + i), sixteenth, Snare, softest + (loudest - softest) * i / std::max(1, steps - 1));
}

void AddGroove(ScorePart &part, int bar, bool fourOnTheFloor, bool clap, bool tambourine, int level) {
  int beats = BarAt(bar).beats;
  for (int s = 0; s < beats * 4; s += 2) {
    bool onBeat = s % 4 == 0;
    bool backbeat = s % 8 == 4;
    if (fourOnTheFloor ? onBeat : (s % 8 == 0 || s == 6))
      AddDrum(part, At(bar, s), ticksPerQuarter, Kick, level + 8 + Jitter(3));
    if (backbeat) {
      AddDrum(part, At(bar, s), ticksPerQuarter, Snare, level + 4 + Jitter(3));
      if (clap) AddDrum(part, At(bar, s), ticksPerQuarter, Clap, level - 10 + Jitter(3));
    }
    bool open = fourOnTheFloor ? !onBeat : (s == 14 && bar % 2 == 0);
    AddDrum(part, At(bar, s), open ? ticksPerQuarter : 2 * sixteenth, open ? OpenHat : ClosedHat,
            level - (onBeat ? 18 : 28) + Jitter(4));
    if (tambourine && !onBeat) AddDrum(part, At(bar, s), 2 * sixteenth, Tambourine, level - 30 + Jitter(4));
  }
}

ScorePart WriteDrums() {
  ScorePart part{"Drums", 9, StandardKit, 100, 64, 28, 0, {}};
  for (int bar = 1; bar <= 2; bar++)
    for (int s = 2; s < 16; s += 4) AddDrum(part, At(bar, s), 2 * sixteenth, Tambourine, 50 + Jitter(4));
  AddGroove(part, 3, false, false, false, 70);
  for (int s : {0, 8}) AddDrum(part, At(4, s), ticksPerQuarter, Kick, 84);
  for (int s = 0; s < 12; s += 2) AddDrum(part, At(4, s), 2 * sixteenth, ClosedHat, 52 + Jitter(4));
  AddSnareRoll(part, 4, 12, 56, 104);

  for (int bar = 5; bar <= 44; bar++) {
    Section section = BarAt(bar).section;
    int level = SectionLoudness(section);
    bool phraseEnd = bar == 12 || bar == 20 || bar == 40;
    bool halfPhrase = bar == 8 || bar == 16 || bar == 36;
    if (section == Breakdown) {
      AddDrum(part, At(bar, 0), ticksPerQuarter, Kick, level);
      for (int s = 2; s < 16; s += 4) AddDrum(part, At(bar, s), 2 * sixteenth, Tambourine, 58 + Jitter(4));
      if (bar == 32) AddSnareRoll(part, bar, 8, 50, 100);
      continue;
    }
    if (bar == 44) break;
    AddGroove(part, bar, section == Bridge, section != VerseOne, section == VerseThree || section == Outro, level);
    if (phraseEnd) AddDrumFill(part, bar, 12, level - 8);
    if (halfPhrase)
      for (int s : {14, 15}) AddDrum(part, At(bar, s), sixteenth, Snare, level - 10);
    if (bar == 27)
      for (int s : {16, 18}) AddDrum(part, At(bar, s), ticksPerQuarter, Clap, level);
    if (bar == 28) AddSnareRoll(part, bar, 8, 60, 112);
  }
  for (int bar : {5, 13, 21, 33, 37, 41})
    AddDrum(part, At(bar, 0), 4 * ticksPerQuarter, CrashCymbal, SectionLoudness(BarAt(bar).section) + 6);
  AddDrum(part, At(29, 0), 4 * ticksPerQuarter, CrashCymbal, 70);
  // The button: one hit that rings out, then silence until the tune restarts.
  AddDrum(part, At(44, 0), 8 * ticksPerQuarter, CrashCymbal, 112);
  AddDrum(part, At(44, 0), ticksPerQuarter, Kick, 112);
  return part;
}

}  // namespace

Score ComposeTune() {
  Score score;
  score.ticksPerQuarter = ticksPerQuarter;
  score.microsPerQuarter = 468750;  // 128 beats per minute
  score.keySharps = 2;
  int beats = 0;
  for (int bar = 1; bar <= BarCount(); bar++) {
    if (BarAt(bar).beats != beats) score.meters.push_back({BarAt(bar).start, uint8_t(BarAt(bar).beats)});
    beats = BarAt(bar).beats;
  }
  score.parts = {WriteLead(),    WriteFlute(), WritePiano(), WriteStrings(), WritePad(),    WriteBass(),   WriteBells(),
                 WriteMarimba(), WriteBrass(), WriteDrums(), WriteVibes(),   WriteGuitar(), WriteSparkle()};
  score.lengthTicks = TuneLength();
  return score;
}
