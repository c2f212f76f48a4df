// A strict reader of Standard MIDI Files for the tests: every chunk and event
// must be well formed, or it reports where it is not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MidiEvent {
  uint32_t tick;
  uint8_t status;  // 0xFF for meta events
  uint8_t data1 = 0, data2 = 0;
  uint8_t metaType = 0;
  std::vector<uint8_t> metaData;

  int Channel() const { return status < 0xF0 ? status & 0x0F : -1; }
  int Kind() const { return status < 0xF0 ? status & 0xF0 : status; }
  bool IsNoteOn() const { return Kind() == 0x90 && data2 > 0; }
  bool IsNoteOff() const { return Kind() == 0x80 || (Kind() == 0x90 && data2 == 0); }
};

struct MidiTrack {
  std::vector<MidiEvent> events;  // end of track excluded
  uint32_t endTick = 0;
};

struct MidiFile {
  uint16_t format = 0;
  uint16_t division = 0;
  std::vector<MidiTrack> tracks;
};

bool ReadMidiFile(const std::vector<uint8_t> &bytes, MidiFile &file, std::string &error);

// Seconds at `tick` under the file's tempo changes (120 bpm before the first).
double SecondsAt(const MidiFile &file, uint32_t tick);

std::vector<uint8_t> ReadFileBytes(const std::string &path);
