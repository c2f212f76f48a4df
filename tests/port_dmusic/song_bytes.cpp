#include "port_dmusic/song_bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <numeric>

namespace {

void PutU16Le(Bytes& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void PutU32Le(Bytes& out, uint32_t v) {
  PutU16Le(out, v & 0xFFFF);
  PutU16Le(out, v >> 16);
}
void PutU32Be(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((v >> shift) & 0xFF);
}
void PutVarLen(Bytes& out, uint32_t v) {
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = v & 0x7F;
    v >>= 7;
  } while (v);
  while (n > 1) out.push_back(groups[--n] | 0x80);
  out.push_back(groups[0]);
}
void PutTag(Bytes& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

Bytes Chunk(const char* tag, const Bytes& body) {
  Bytes out;
  PutTag(out, tag);
  PutU32Le(out, body.size());
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}
Bytes List(const char* type, const std::vector<Bytes>& children, const char* tag = "LIST") {
  Bytes body;
  PutTag(body, type);
  for (auto& c : children) body.insert(body.end(), c.begin(), c.end());
  return Chunk(tag, body);
}

struct TimedEvent {
  int tick;
  int order;  // note-offs before note-ons at the same tick
  Bytes data;
};

Bytes TrackChunk(std::vector<TimedEvent> events) {
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  Bytes body;
  int last = 0;
  for (auto& e : events) {
    PutVarLen(body, e.tick - last);
    last = e.tick;
    body.insert(body.end(), e.data.begin(), e.data.end());
  }
  PutVarLen(body, 0);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  Bytes out;
  PutTag(out, "MTrk");
  PutU32Be(out, body.size());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace

Bytes BuildMidiFile(const MidiSong& song) {
  std::vector<Bytes> tracks;
  uint32_t tempo = song.microsecondsPerQuarter;
  tracks.push_back(TrackChunk({{0, 0, {0xFF, 0x51, 0x03, uint8_t(tempo >> 16), uint8_t(tempo >> 8), uint8_t(tempo)}},
                               {0, 1, {0xFF, 0x58, 0x04, 4, 2, 24, 8}}}));
  for (int channel = 0; channel < 16; ++channel) {
    std::vector<TimedEvent> events;
    for (auto& p : song.programs)
      if (p.first == channel) events.push_back({0, 0, {uint8_t(0xC0 | channel), uint8_t(p.second)}});
    for (auto& n : song.notes) {
      if (n.channel != channel) continue;
      events.push_back({n.startTick, 2, {uint8_t(0x90 | channel), uint8_t(n.key), uint8_t(n.velocity)}});
      events.push_back({n.startTick + n.lengthTicks, 1, {uint8_t(0x80 | channel), uint8_t(n.key), 64}});
    }
    if (!events.empty()) tracks.push_back(TrackChunk(events));
  }
  Bytes out;
  PutTag(out, "MThd");
  PutU32Be(out, 6);
  out.insert(out.end(), {0, 1, uint8_t(tracks.size() >> 8), uint8_t(tracks.size()), uint8_t(song.ticksPerQuarter >> 8),
                         uint8_t(song.ticksPerQuarter)});
  for (auto& t : tracks) out.insert(out.end(), t.begin(), t.end());
  return out;
}

static Bytes SampleInfo(const DlsWave& wave) {
  Bytes wsmp;
  PutU32Le(wsmp, 20);
  PutU16Le(wsmp, wave.unityKey);
  PutU16Le(wsmp, 0);  // fine tune
  PutU32Le(wsmp, 0);  // attenuation
  PutU32Le(wsmp, 0);  // options
  PutU32Le(wsmp, wave.loopLength ? 1 : 0);
  if (wave.loopLength) {
    PutU32Le(wsmp, 16);
    PutU32Le(wsmp, 0);  // forward loop
    PutU32Le(wsmp, wave.loopStart);
    PutU32Le(wsmp, wave.loopLength);
  }
  return Chunk("wsmp", wsmp);
}

Bytes BuildDlsCollection(const DlsCollection& collection) {
  std::vector<Bytes> instruments;
  for (auto& ins : collection.instruments) {
    Bytes insh;
    PutU32Le(insh, 1);
    PutU32Le(insh, ins.drums ? 0x80000000u : 0);
    PutU32Le(insh, ins.program);
    Bytes rgnh;
    PutU16Le(rgnh, ins.lowKey);
    PutU16Le(rgnh, ins.highKey);
    PutU16Le(rgnh, 0);
    PutU16Le(rgnh, 127);
    PutU16Le(rgnh, 0);
    PutU16Le(rgnh, 0);
    Bytes wlnk;
    PutU16Le(wlnk, 0);
    PutU16Le(wlnk, 0);
    PutU32Le(wlnk, 1);
    PutU32Le(wlnk, ins.wave);
    Bytes name(ins.name.begin(), ins.name.end());
    name.push_back(0);
    instruments.push_back(
        List("ins ", {Chunk("insh", insh),
                      List("lrgn", {List("rgn ", {Chunk("rgnh", rgnh), SampleInfo(collection.waves[ins.wave]),
                                                  Chunk("wlnk", wlnk)})}),
                      List("INFO", {Chunk("INAM", name)})}));
  }
  std::vector<Bytes> waves;
  Bytes ptbl;
  PutU32Le(ptbl, 8);
  PutU32Le(ptbl, collection.waves.size());
  uint32_t offset = 0;
  for (auto& w : collection.waves) {
    Bytes fmt;
    PutU16Le(fmt, 1);
    PutU16Le(fmt, 1);
    PutU32Le(fmt, w.sampleRate);
    PutU32Le(fmt, w.sampleRate * 2);
    PutU16Le(fmt, 2);
    PutU16Le(fmt, 16);
    Bytes data;
    for (int16_t s : w.samples) PutU16Le(data, uint16_t(s));
    waves.push_back(List("wave", {Chunk("fmt ", fmt), SampleInfo(w), Chunk("data", data)}));
    PutU32Le(ptbl, offset);
    offset += waves.back().size();
  }
  Bytes colh;
  PutU32Le(colh, collection.instruments.size());
  Bytes vers;
  PutU32Le(vers, 0x00010000);
  PutU32Le(vers, 0);
  return List(
      "DLS ",
      {Chunk("colh", colh), Chunk("vers", vers), List("lins", instruments), Chunk("ptbl", ptbl), List("wvpl", waves)},
      "RIFF");
}

DlsWave SineWave(double hz, int unityKey, int sampleRate) {
  // The loop must hold whole cycles, or every pass would click and shift the pitch.
  int cycles = 0, length = 0;
  for (length = 64; length <= sampleRate; ++length) {
    double c = length * hz / sampleRate;
    if (c >= 1 && std::fabs(c - std::round(c)) < 1e-9) {
      cycles = int(std::round(c));
      break;
    }
  }
  if (!cycles) {
    length = sampleRate;
    cycles = int(std::round(hz));
  }
  DlsWave w{sampleRate, {}, unityKey, 0, length};
  for (int i = 0; i < length; ++i)
    w.samples.push_back(int16_t(std::lround(12000 * std::sin(2 * M_PI * cycles * i / length))));
  return w;
}

DlsWave NoiseBurst(int sampleRate) {
  DlsWave w{sampleRate, {}, 60, 0, 0};
  uint32_t state = 12345;
  int n = sampleRate / 5;
  for (int i = 0; i < n; ++i) {
    state = state * 1664525u + 1013904223u;
    double noise = int32_t(state) / 2147483648.0;
    w.samples.push_back(int16_t(std::lround(14000 * noise * std::exp(-6.0 * i / n))));
  }
  return w;
}

double KeyFrequency(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

namespace {

struct RawEvent {
  uint32_t tick;
  uint8_t status;
  uint8_t data1, data2;
  uint32_t tempo;  // for tempo changes
};

uint32_t ReadVarLen(const Bytes& b, size_t& at, size_t end) {
  uint32_t v = 0;
  while (at < end) {
    uint8_t c = b[at++];
    v = (v << 7) | (c & 0x7F);
    if (!(c & 0x80)) break;
  }
  return v;
}

}  // namespace

bool ReadMidiFile(const Bytes& b, MidiSummary* summary) {
  auto be32 = [&](size_t at) { return uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]; };
  if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return false;
  int division = b[12] << 8 | b[13];
  std::vector<RawEvent> events;
  uint32_t lastTick = 0;
  for (size_t at = 8 + be32(4); at + 8 <= b.size();) {
    size_t end = at + 8 + be32(at + 4);
    if (end > b.size()) return false;
    bool track = std::memcmp(&b[at], "MTrk", 4) == 0;
    size_t p = at + 8;
    at = end;
    if (!track) continue;
    uint32_t tick = 0;
    uint8_t running = 0;
    while (p < end) {
      tick += ReadVarLen(b, p, end);
      uint8_t status = b[p];
      if (status == 0xFF) {
        uint8_t type = b[p + 1];
        p += 2;
        uint32_t length = ReadVarLen(b, p, end);
        if (type == 0x51 && length == 3) events.push_back({tick, 0xFF, 0, 0, be32(p - 1) & 0xFFFFFF});
        p += length;
      } else if (status == 0xF0 || status == 0xF7) {
        ++p;
        p += ReadVarLen(b, p, end);
      } else {
        if (status & 0x80) {
          running = status;
          ++p;
        }
        int kind = running >> 4;
        int size = (kind == 0xC || kind == 0xD) ? 1 : 2;
        events.push_back({tick, running, b[p], uint8_t(size == 2 ? b[p + 1] : 0), 0});
        p += size;
      }
      lastTick = std::max(lastTick, tick);
    }
  }
  std::stable_sort(events.begin(), events.end(), [](const RawEvent& x, const RawEvent& y) { return x.tick < y.tick; });
  double seconds = 0;
  uint32_t tempo = 500000, tick = 0;
  auto toSeconds = [&](uint32_t t) { return seconds + double(t - tick) * tempo / 1e6 / division; };
  std::map<std::pair<int, int>, double> sounding;
  summary->notes.clear();
  for (auto& e : events) {
    double now = toSeconds(e.tick);
    if (e.status == 0xFF) {
      seconds = now;
      tick = e.tick;
      tempo = e.tempo;
      continue;
    }
    int kind = e.status >> 4, channel = e.status & 15;
    auto key = std::make_pair(channel, int(e.data1));
    if (kind == 0x9 && e.data2 > 0) {
      sounding[key] = now;
    } else if (kind == 0x8 || kind == 0x9) {
      auto it = sounding.find(key);
      if (it != sounding.end()) {
        summary->notes.push_back({channel, e.data1, it->second, now});
        sounding.erase(it);
      }
    }
  }
  summary->lastEvent = toSeconds(lastTick);
  return true;
}
