#include "midi_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

namespace {

uint32_t Big32(const std::vector<uint8_t> &b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

bool ReadVarLen(const std::vector<uint8_t> &b, size_t &at, size_t end, uint32_t &value) {
  value = 0;
  for (int i = 0; i < 4; i++) {
    if (at >= end) return false;
    uint8_t byte = b[at++];
    value = (value << 7) | (byte & 0x7F);
    if (!(byte & 0x80)) return true;
  }
  return false;
}

bool ReadTrack(const std::vector<uint8_t> &b, size_t at, size_t end, MidiTrack &track, std::string &error) {
  uint32_t tick = 0;
  uint8_t running = 0;
  while (at < end) {
    uint32_t delta;
    if (!ReadVarLen(b, at, end, delta) || at >= end) return error = "bad delta time", false;
    tick += delta;
    MidiEvent event;
    event.tick = tick;
    event.status = b[at];
    if (event.status < 0x80) {
      if (!running) return error = "data byte without status", false;
      event.status = running;
    } else {
      at++;
    }
    if (event.status == 0xFF) {
      if (at >= end) return error = "truncated meta event", false;
      event.metaType = b[at++];
      uint32_t length;
      if (!ReadVarLen(b, at, end, length) || at + length > end) return error = "bad meta length", false;
      event.metaData.assign(b.begin() + long(at), b.begin() + long(at + length));
      at += length;
      if (event.metaType == 0x2F) {
        if (at != end) return error = "events after end of track", false;
        track.endTick = tick;
        return true;
      }
    } else if (event.status == 0xF0 || event.status == 0xF7) {
      uint32_t length;
      if (!ReadVarLen(b, at, end, length) || at + length > end) return error = "bad sysex length", false;
      at += length;
    } else if (event.status >= 0xF0) {
      return error = "system message in a file", false;
    } else {
      running = event.status;
      int kind = event.status & 0xF0;
      int count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
      if (at + size_t(count) > end) return error = "truncated channel event", false;
      event.data1 = b[at++];
      if (count == 2) event.data2 = b[at++];
      if (event.data1 > 127 || event.data2 > 127) return error = "data byte above 127", false;
    }
    track.events.push_back(event);
  }
  return error = "track without end of track", false;
}

}  // namespace

bool ReadMidiFile(const std::vector<uint8_t> &b, MidiFile &file, std::string &error) {
  if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Big32(b, 4) != 6)
    return error = "no MThd header of 6 bytes", false;
  file.format = uint16_t(b[8] << 8 | b[9]);
  uint16_t count = uint16_t(b[10] << 8 | b[11]);
  file.division = uint16_t(b[12] << 8 | b[13]);
  size_t at = 14;
  file.tracks.clear();
  while (at < b.size()) {
    if (at + 8 > b.size() || std::string(b.begin() + long(at), b.begin() + long(at) + 4) != "MTrk")
      return error = "expected an MTrk chunk", false;
    size_t length = Big32(b, at + 4);
    if (at + 8 + length > b.size()) return error = "track runs past the end of the file", false;
    MidiTrack track;
    if (!ReadTrack(b, at + 8, at + 8 + length, track, error)) return false;
    file.tracks.push_back(track);
    at += 8 + length;
  }
  if (file.tracks.size() != count) return error = "header track count differs from the tracks", false;
  return true;
}

double SecondsAt(const MidiFile &file, uint32_t tick) {
  std::map<uint32_t, uint32_t> tempos = {{0, 500000}};
  for (const MidiTrack &track : file.tracks)
    for (const MidiEvent &event : track.events)
      if (event.status == 0xFF && event.metaType == 0x51 && event.metaData.size() == 3)
        tempos[event.tick] = uint32_t(event.metaData[0]) << 16 | uint32_t(event.metaData[1]) << 8 | event.metaData[2];
  double seconds = 0;
  for (auto it = tempos.begin(); it != tempos.end() && it->first < tick; ++it) {
    auto next = std::next(it);
    uint32_t until = next == tempos.end() ? tick : std::min(tick, next->first);
    seconds += double(until - it->first) * it->second / 1e6 / file.division;
  }
  return seconds;
}

std::vector<uint8_t> ReadFileBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
