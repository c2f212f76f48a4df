// The form of the tune: its bars with their meter and chords, its sections and
// the small helpers the parts are written with. Pitches are written in C
// major and moved into the tune's key when a note is added.
#pragma once

#include "harmony.h"
#include "tune_score.h"

#include <cstdint>
#include <vector>

constexpr uint16_t ticksPerQuarter = 480;
constexpr uint32_t sixteenth = ticksPerQuarter / 4;
constexpr int keyShift = 2;  // written in C, sounding in D major

enum Section { Intro, VerseOne, VerseTwo, Bridge, Breakdown, VerseThree, Outro };

struct ChordSpan {
  uint32_t start;  // ticks
  uint32_t length;
  Chord chord;
};

struct Bar {
  int number;      // from 1
  uint32_t start;  // ticks
  int beats;
  Section section;
  std::vector<ChordSpan> chords;
};

// Bars of the chart, numbered from 1 (entry 0 unused).
const std::vector<Bar> &TuneBars();
const Bar &BarAt(int number);
int BarCount();
uint32_t TuneLength();
const Chord &ChordAt(uint32_t tick);

// Base velocity of a section: how loud the band plays there.
int SectionLoudness(Section section);

// A little deterministic unevenness for velocities, within +-amount.
int Jitter(int amount);

// Adds a pitched note written in C (moved into the tune's key).
void AddNote(ScorePart &part, uint32_t start, uint32_t length, int pitchInC, int velocity);
void AddDrum(ScorePart &part, uint32_t start, uint32_t length, int key, int velocity);

// A line written as "G4:2 C5:2 r:4 | ..." in sixteenths, from bar `firstBar`.
// Bars must add up to their meter, or the generator stops with a message.
struct LineNote {
  uint32_t start, length;
  int pitch;  // in C; -1 for a rest
};
std::vector<LineNote> ReadLine(int firstBar, const char *text);

// Chords held for their whole span in `section`s of bars [from, to], voiced in
// [low, high]; a voice that stays on its pitch is held over, not struck again.
void AddHeldChords(ScorePart &part, int from, int to, int low, int high, int voices, int velocity);
