#include "port_dmusic/port_music.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstring>

PortMusicSession::PortMusicSession(MusicSinkKind kind, bool notifications) {
  SelectPortMusicSink(kind);
  CoInitialize(nullptr);
  CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, 3, IID_IDirectMusicPerformance, (void**)&performance);
  CoCreateInstance(CLSID_DirectMusicLoader, nullptr, 3, IID_IDirectMusicLoader, (void**)&loader);
  if (performance) {
    started = performance->Init(nullptr, nullptr, nullptr);
    if (SUCCEEDED(started)) started = performance->AddPort(nullptr);
    if (notifications) performance->AddNotificationType(GUID_NOTIFICATION_PERFORMANCE);
  }
  SelectPortMusicSink(MusicSinkKind::Device);
}

PortMusicSession::~PortMusicSession() {
  if (performance) {
    performance->Stop(nullptr, nullptr, 0, 0);
    if (segment) segment->SetParam(GUID_Unload, 0xFFFFFFFF, 0, 0, performance);
    performance->CloseDown();
  }
  if (segment) segment->Release();
  if (collection) collection->Release();
  if (performance) performance->Release();
  if (loader) loader->Release();
  CoUninitialize();
}

HRESULT DescribeAndGet(IDirectMusicLoader* loader, const CLSID& objectClass, const Bytes& bytes, const IID& iid,
                       void** object, DWORD size) {
  DMUS_OBJECTDESC description = {};
  description.dwSize = size;
  description.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_MEMORY;
  description.guidClass = objectClass;
  description.pbMemData = const_cast<uint8_t*>(bytes.data());
  description.llMemLength = LONGLONG(bytes.size());
  return loader->GetObject(&description, iid, object);
}

HRESULT PortMusicSession::Load(const Bytes& midi, const Bytes* dls) {
  if (segment) {
    segment->SetParam(GUID_Unload, 0xFFFFFFFF, 0, 0, performance);
    segment->Release();
    segment = nullptr;
  }
  if (collection) {
    collection->Release();
    collection = nullptr;
  }
  HRESULT result = DescribeAndGet(loader, CLSID_DirectMusicSegment, midi, IID_IDirectMusicSegment, (void**)&segment);
  if (FAILED(result)) return result;
  if (dls) {
    result = DescribeAndGet(loader, CLSID_DirectMusicCollection, *dls, IID_IDirectMusicCollection, (void**)&collection);
    if (FAILED(result)) return result;
    result = segment->SetParam(GUID_ConnectToDLSCollection, 0xFFFFFFFF, 0, 0, collection);
    if (FAILED(result)) return result;
  }
  segment->SetParam(GUID_StandardMIDIFile, 0xFFFFFFFF, 0, 0, performance);
  return segment->SetParam(GUID_Download, 0xFFFFFFFF, 0, 0, performance);
}

HRESULT PortMusicSession::Play() { return performance->PlaySegment(segment, 0, 0, nullptr); }

std::vector<float> PortMusicSession::Render(double seconds) {
  std::vector<float> out(2 * size_t(seconds * MusicSampleRate));
  const int block = 512;
  for (size_t at = 0; at < out.size(); at += 2 * block) {
    int frames = int(std::min<size_t>(block, (out.size() - at) / 2));
    if (!RenderPortMusic(performance, out.data() + at, frames)) return {};
  }
  return out;
}

std::vector<std::vector<float>> PortMusicSession::RenderStems(double seconds) {
  size_t frames = size_t(seconds * MusicSampleRate);
  std::vector<std::vector<float>> stems(2 * MusicChannels, std::vector<float>(frames));
  const int block = 512;
  std::vector<float*> pointers(stems.size());
  for (size_t at = 0; at < frames; at += block) {
    int n = int(std::min<size_t>(block, frames - at));
    for (size_t c = 0; c < stems.size(); ++c) pointers[c] = stems[c].data() + at;
    if (!RenderPortMusicStems(performance, pointers.data(), n)) return {};
  }
  return stems;
}

int PortMusicSession::TakeStopNotifications() {
  int stops = 0;
  DMUS_NOTIFICATION_PMSG* message = nullptr;
  while (performance->GetNotificationPMsg(&message) == S_OK) {
    if (message->guidNotificationType == GUID_NOTIFICATION_PERFORMANCE &&
        message->dwNotificationOption == DMUS_NOTIFICATION_MUSICSTOPPED)
      ++stops;
    performance->FreePMsg(reinterpret_cast<DMUS_PMSG*>(message));
  }
  return stops;
}

double Peak(const std::vector<float>& samples, size_t from, size_t to) {
  double peak = 0;
  for (size_t i = from; i < std::min(to, samples.size()); ++i) peak = std::max(peak, double(std::fabs(samples[i])));
  return peak;
}

double FirstSoundSeconds(const std::vector<float>& interleaved, double threshold) {
  for (size_t i = 0; i < interleaved.size(); ++i)
    if (std::fabs(interleaved[i]) > threshold) return double(i / 2) / MusicSampleRate;
  return -1;
}

double PeakFrequency(const std::vector<float>& mono, size_t from, size_t count, double lowHz, double highHz) {
  if (from + count > mono.size() || count < 16) return 0;
  std::vector<double> windowed(count);
  for (size_t i = 0; i < count; ++i)
    windowed[i] = mono[from + i] * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(count - 1)));
  // The spectrum sampled every twentieth of a percent: finer than any tuning error worth finding.
  const double step = 1.0005;
  std::vector<double> frequencies, power;
  for (double f = lowHz; f <= highHz; f *= step) {
    double w = 2 * M_PI * f / MusicSampleRate, re = 0, im = 0;
    double c = std::cos(w), s = std::sin(w), pr = 1, pi = 0;
    for (size_t i = 0; i < count; ++i) {
      re += windowed[i] * pr;
      im -= windowed[i] * pi;
      double next = pr * c - pi * s;
      pi = pr * s + pi * c;
      pr = next;
    }
    frequencies.push_back(f);
    power.push_back(re * re + im * im);
  }
  size_t best = size_t(std::max_element(power.begin(), power.end()) - power.begin());
  if (power[best] <= 0) return 0;
  return frequencies[best];
}

int ThreadCount() {
  int n = 0;
  DIR* d = opendir("/proc/self/task");
  while (dirent* e = readdir(d))
    if (e->d_name[0] != '.') ++n;
  closedir(d);
  return n;
}

Bytes KnownInstruments() {
  DlsCollection c;
  c.waves = {SineWave(440, 69), SineWave(220, 57), NoiseBurst()};
  c.instruments = {
      {0, false, 0, 127, 0, "High sine"}, {1, false, 0, 127, 1, "Low sine"}, {0, true, 35, 81, 2, "Noise kit"}};
  return BuildDlsCollection(c);
}

MidiSong KnownSong() {
  MidiSong s;  // 120 beats a minute: 480 ticks are half a second
  s.programs = {{0, 0}, {1, 1}, {9, 0}};
  s.notes = {{0, 69, 0, 480},    {0, 81, 480, 480}, {1, 57, 960, 480},
             {1, 64, 1440, 480}, {9, 36, 0, 240},   {9, 38, 960, 240}};
  return s;
}
