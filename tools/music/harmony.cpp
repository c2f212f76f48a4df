#include "harmony.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

int PitchClassOfLetter(const std::string &text, size_t &at) {
  static const int letters[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (at >= text.size() || text[at] < 'A' || text[at] > 'G') {
    std::fprintf(stderr, "harmony: bad note name '%s'\n", text.c_str());
    std::exit(1);
  }
  int pc = letters[text[at++] - 'A'];
  while (at < text.size() && (text[at] == '#' || text[at] == 'b')) pc += text[at++] == '#' ? 1 : -1;
  return (pc + 12) % 12;
}

const int scale[] = {0, 2, 4, 5, 7, 9, 11};

}  // namespace

Chord ParseChord(const std::string &symbol) {
  size_t at = 0;
  Chord chord;
  chord.root = PitchClassOfLetter(symbol, at);
  size_t slash = symbol.find('/');
  std::string quality = symbol.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
  if (quality == "")
    chord.intervals = {0, 4, 7};
  else if (quality == "m")
    chord.intervals = {0, 3, 7};
  else if (quality == "7")
    chord.intervals = {0, 4, 7, 10};
  else if (quality == "m7")
    chord.intervals = {0, 3, 7, 10};
  else if (quality == "maj7")
    chord.intervals = {0, 4, 7, 11};
  else if (quality == "sus4")
    chord.intervals = {0, 5, 7};
  else {
    std::fprintf(stderr, "harmony: unknown chord '%s'\n", symbol.c_str());
    std::exit(1);
  }
  chord.bass = chord.root;
  if (slash != std::string::npos) {
    size_t bassAt = slash + 1;
    chord.bass = PitchClassOfLetter(symbol, bassAt);
  }
  return chord;
}

std::vector<int> VoiceChord(const Chord &chord, int low, int high, const std::vector<int> &previous, int voices) {
  std::vector<int> tones;
  for (int interval : chord.intervals) tones.push_back((chord.root + interval) % 12);
  if (voices < int(tones.size()) && tones.size() >= 3) tones.erase(tones.begin() + 2);  // drop the fifth

  // Each chord tone gets a slot; extra voices may take any chord tone.
  std::vector<std::vector<int>> candidates;
  for (size_t slot = 0; slot < size_t(std::max(voices, 1)); slot++) {
    std::vector<int> pitches;
    for (int p = low; p <= high; p++) {
      bool fits = false;
      if (slot < tones.size())
        fits = p % 12 == tones[slot];
      else
        for (int tone : tones) fits = fits || p % 12 == tone;
      if (fits) pitches.push_back(p);
    }
    if (pitches.empty()) return {};
    candidates.push_back(pitches);
  }

  std::vector<int> best;
  long bestCost = -1;
  std::vector<size_t> pick(candidates.size(), 0);
  while (true) {
    std::vector<int> voicing;
    for (size_t i = 0; i < candidates.size(); i++) voicing.push_back(candidates[i][pick[i]]);
    std::sort(voicing.begin(), voicing.end());
    if (std::adjacent_find(voicing.begin(), voicing.end()) == voicing.end()) {
      long cost = 0;
      if (previous.size() == voicing.size()) {
        for (size_t i = 0; i < voicing.size(); i++) cost += std::abs(voicing[i] - previous[i]);
      } else {
        for (int p : voicing) cost += std::abs(2 * p - (low + high));
      }
      if (bestCost < 0 || cost < bestCost) {
        bestCost = cost;
        best = voicing;
      }
    }
    size_t digit = 0;
    while (digit < pick.size() && ++pick[digit] == candidates[digit].size()) pick[digit++] = 0;
    if (digit == pick.size()) break;
  }
  if (best.empty() && voices > 1) return VoiceChord(chord, low, high, previous, voices - 1);
  return best;
}

std::vector<int> ChordLadder(const Chord &chord, int from, int count) {
  std::vector<int> ladder;
  for (int p = from; int(ladder.size()) < count; p++) {
    for (int interval : chord.intervals)
      if ((p - chord.root - interval) % 12 == 0) {
        ladder.push_back(p);
        break;
      }
  }
  return ladder;
}

int MoveInScale(int pitch, int steps) {
  int octave = pitch / 12, pc = pitch % 12;
  int degree = 0;
  for (int i = 0; i < 7; i++)
    if (scale[i] <= pc) degree = i;
  int target = degree + steps;
  int octaves = target >= 0 ? target / 7 : (target - 6) / 7;
  return (octave + octaves) * 12 + scale[target - octaves * 7];
}

int PitchOfName(const std::string &name) {
  size_t at = 0;
  int pitch = PitchClassOfLetter(name.substr(0, 1), at);
  for (at = 1; at < name.size() && (name[at] == '#' || name[at] == 'b'); at++) pitch += name[at] == '#' ? 1 : -1;
  return (std::atoi(name.c_str() + at) + 1) * 12 + pitch;
}
