// Small Standard MIDI Files and DLS collections built in memory, so the port
// can be tried on sounds whose every note and pitch the test knows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

struct MidiNote {
  int channel;
  int key;
  int startTick;
  int lengthTicks;
  int velocity = 100;
};

struct MidiSong {
  int ticksPerQuarter = 480;
  int microsecondsPerQuarter = 500000;
  // Program change sent at tick 0 on each listed channel: {channel, program}.
  std::vector<std::pair<int, int>> programs;
  std::vector<MidiNote> notes;
};

// A format 1 file: a tempo track, then one track per channel used.
Bytes BuildMidiFile(const MidiSong& song);

struct DlsWave {
  int sampleRate;
  std::vector<int16_t> samples;
  int unityKey;
  // Loop over [loopStart, loopStart + loopLength); 0 length means one-shot.
  int loopStart = 0;
  int loopLength = 0;
};

struct DlsInstrument {
  int program;
  bool drums = false;
  int lowKey = 0;
  int highKey = 127;
  int wave;  // index into the pool
  std::string name;
};

struct DlsCollection {
  std::vector<DlsInstrument> instruments;
  std::vector<DlsWave> waves;
};

Bytes BuildDlsCollection(const DlsCollection& collection);

// A looped sine of frequency hz that has a whole number of cycles in its loop.
DlsWave SineWave(double hz, int unityKey, int sampleRate = 44100);
// A decaying noise burst for a drum.
DlsWave NoiseBurst(int sampleRate = 22050);

double KeyFrequency(int key);

// What a Standard MIDI File plays, read back with its tempo map.
struct PlayedNote {
  int channel;
  int key;
  double start;  // seconds
  double end;
};
struct MidiSummary {
  std::vector<PlayedNote> notes;
  double lastEvent = 0;  // seconds to the last event of any track
};
bool ReadMidiFile(const Bytes& bytes, MidiSummary* summary);
