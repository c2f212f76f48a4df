// Chords of the tune's chart and the voicings the accompaniment plays them
// with. Pitch classes and MIDI pitches here are written in C major; the
// arrangement moves everything into the tune's key at the end.
#pragma once

#include <string>
#include <vector>

struct Chord {
  int root;                    // pitch class 0-11
  int bass;                    // pitch class of the bass note (a slash chord differs)
  std::vector<int> intervals;  // semitones above the root, root first
};

// "C", "Am", "G7", "Dm7", "Fmaj7", "Gsus4", "C/E".
Chord ParseChord(const std::string &symbol);

// `voices` distinct pitches within [low, high]: every chord tone (the fifth
// left out when voices are few), extra voices doubling any tone, chosen to
// move as little as possible from `previous`; an empty `previous` centres the
// chord. Fewer voices come back when the range cannot hold them all.
std::vector<int> VoiceChord(const Chord &chord, int low, int high, const std::vector<int> &previous, int voices);

// The chord's tones from `from` upwards, `count` of them.
std::vector<int> ChordLadder(const Chord &chord, int from, int count);

// The pitch `steps` scale degrees away in C major (a chromatic pitch counts
// as the degree below it).
int MoveInScale(int pitch, int steps);

// MIDI pitch of a name like "C5", "F#4", "Bb3".
int PitchOfName(const std::string &name);
