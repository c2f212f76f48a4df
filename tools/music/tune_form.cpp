#include "tune_form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// One entry per bar. "F:2 G:2" splits a bar by beats; a bar of one chord has
// four beats unless it says otherwise. The 5/4 bars are the tune's hiccups:
// the end of the intro, the run-up out of the bridge and the final button.
const char *const chart[] = {
    "C",  "Am", "F",       "G:5",                                     // intro 1-4
    "C",  "Am", "F",       "G",   "C",  "Am", "F:2 G:2", "C",         // verse 5-12
    "C",  "Am", "F",       "G",   "C",  "Am", "F:2 G:2", "C",         // verse 13-20
    "F",  "G",  "Em",      "Am",  "Dm", "G",  "F:3 G:2", "Am:3 G:2",  // bridge 21-28
    "Am", "F",  "C",       "G",                                       // breakdown 29-32
    "C",  "Am", "F",       "G",   "C",  "Am", "F:2 G:2", "C",         // verse 33-40
    "F",  "G",  "F:2 G:2", "C:5",                                     // outro 41-44
};

struct SectionSpan {
  Section section;
  int firstBar;
  int loudness;
};

const SectionSpan sectionSpans[] = {
    {Intro, 1, 74},      {VerseOne, 5, 90},     {VerseTwo, 13, 94}, {Bridge, 21, 98},
    {Breakdown, 29, 76}, {VerseThree, 33, 104}, {Outro, 41, 102},
};

std::vector<Bar> bars;
uint32_t tuneLength = 0;
uint32_t jitterState = 12345;

void LayOutBars() {
  bars.assign(1, Bar{});
  uint32_t tick = 0;
  int number = 1;
  for (const char *entry : chart) {
    Bar bar;
    bar.number = number;
    bar.start = tick;
    bar.section = Intro;
    for (const SectionSpan &span : sectionSpans)
      if (span.firstBar <= number) bar.section = span.section;
    std::istringstream words(entry);
    std::string word;
    std::vector<std::pair<std::string, int>> pieces;
    while (words >> word) {
      size_t colon = word.find(':');
      int beats = colon == std::string::npos ? 0 : std::atoi(word.c_str() + colon + 1);
      pieces.push_back({word.substr(0, colon), beats});
    }
    if (pieces.size() == 1 && pieces[0].second == 0) pieces[0].second = 4;
    uint32_t at = tick;
    int beats = 0;
    for (const auto &piece : pieces) {
      uint32_t length = uint32_t(piece.second) * ticksPerQuarter;
      bar.chords.push_back({at, length, ParseChord(piece.first)});
      at += length;
      beats += piece.second;
    }
    bar.beats = beats;
    tick = at;
    bars.push_back(bar);
    number++;
  }
  tuneLength = tick;
}

void Fail(const char *what, int bar) {
  std::fprintf(stderr, "tune: %s in bar %d\n", what, bar);
  std::exit(1);
}

}  // namespace

const std::vector<Bar> &TuneBars() {
  if (bars.empty()) LayOutBars();
  return bars;
}

const Bar &BarAt(int number) { return TuneBars().at(size_t(number)); }

int BarCount() { return int(TuneBars().size()) - 1; }

uint32_t TuneLength() {
  TuneBars();
  return tuneLength;
}

const Chord &ChordAt(uint32_t tick) {
  for (const Bar &bar : TuneBars())
    for (const ChordSpan &span : bar.chords)
      if (tick >= span.start && tick < span.start + span.length) return span.chord;
  return TuneBars().back().chords.back().chord;
}

int SectionLoudness(Section section) {
  for (const SectionSpan &span : sectionSpans)
    if (span.section == section) return span.loudness;
  return 90;
}

int Jitter(int amount) {
  jitterState = jitterState * 1103515245u + 12345u;
  return int((jitterState >> 16) % uint32_t(2 * amount + 1)) - amount;
}

void AddNote(ScorePart &part, uint32_t start, uint32_t length, int pitchInC, int velocity) {
  int key = pitchInC + keyShift;
  if (key < 0 || key > 127 || length == 0) return;
  part.notes.push_back({start, length, uint8_t(key), uint8_t(std::clamp(velocity, 1, 127))});
}

void AddDrum(ScorePart &part, uint32_t start, uint32_t length, int key, int velocity) {
  part.notes.push_back({start, length, uint8_t(key), uint8_t(std::clamp(velocity, 1, 127))});
}

std::vector<LineNote> ReadLine(int firstBar, const char *text) {
  std::vector<LineNote> line;
  int barNumber = firstBar;
  uint32_t barStart = BarAt(barNumber).start;
  uint32_t at = barStart;
  std::string spaced;
  for (const char *c = text; *c; c++) spaced += *c == '|' ? std::string(" | ") : std::string(1, *c);
  std::istringstream words(spaced);
  std::string word;
  auto closeBar = [&]() {
    const Bar &bar = BarAt(barNumber);
    if (at - barStart != uint32_t(bar.beats) * ticksPerQuarter) Fail("line does not fill its bar", barNumber);
    barNumber++;
    barStart = at;
  };
  while (words >> word) {
    if (word == "|") {
      closeBar();
      continue;
    }
    size_t colon = word.find(':');
    if (colon == std::string::npos) Fail("note without length", barNumber);
    uint32_t length = uint32_t(std::atoi(word.c_str() + colon + 1)) * sixteenth;
    std::string name = word.substr(0, colon);
    line.push_back({at, length, name == "r" ? -1 : PitchOfName(name)});
    at += length;
  }
  closeBar();
  return line;
}

void AddHeldChords(ScorePart &part, int from, int to, int low, int high, int voices, int velocity) {
  std::vector<int> previous;
  std::vector<size_t> sounding;  // indices into part.notes of the last chord
  for (int number = from; number <= to; number++) {
    for (const ChordSpan &span : BarAt(number).chords) {
      std::vector<int> voicing = VoiceChord(span.chord, low, high, previous, voices);
      std::vector<size_t> next;
      for (int pitch : voicing) {
        bool heldOver = false;
        for (size_t index : sounding) {
          ScoreNote &note = part.notes[index];
          if (note.key == pitch + keyShift && note.start + note.length == span.start) {
            note.length += span.length;
            next.push_back(index);
            heldOver = true;
          }
        }
        if (!heldOver) {
          AddNote(part, span.start, span.length, pitch, velocity + Jitter(3));
          next.push_back(part.notes.size() - 1);
        }
      }
      sounding = next;
      previous = voicing;
    }
  }
}
