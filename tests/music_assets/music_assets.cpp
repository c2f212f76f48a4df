#include "music_assets.h"

#include <algorithm>
#include <cmath>
#include <complex>

std::string TunePath() { return std::string(MUSIC_ASSET_DIR) + "/tune.mid"; }
std::string CollectionPath() { return std::string(MUSIC_ASSET_DIR) + "/instruments.dls"; }
std::string SoundFontPath() { return std::string(MUSIC_ASSET_DIR) + "/instruments.sf2"; }

const MidiFile &BuiltTune(std::string *error) {
  static MidiFile tune;
  static std::string problem;
  static bool read = false;
  if (!read) {
    read = true;
    if (!ReadMidiFile(ReadFileBytes(TunePath()), tune, problem)) tune = MidiFile{};
  }
  if (error) *error = problem;
  return tune;
}

const DlsCollectionInfo &BuiltCollection(std::string *error) {
  static DlsCollectionInfo collection;
  static std::string problem;
  static bool read = false;
  if (!read) {
    read = true;
    if (!ReadDlsCollection(ReadFileBytes(CollectionPath()), collection, problem)) collection = DlsCollectionInfo{};
  }
  if (error) *error = problem;
  return collection;
}

ChannelSelection SelectionOfChannel(const MidiFile &tune, int channel) {
  ChannelSelection selection;
  for (const MidiTrack &track : tune.tracks) {
    for (const MidiEvent &event : track.events) {
      if (event.Channel() != channel) continue;
      if (event.Kind() == 0xB0 && event.data1 == 0 && selection.program < 0) selection.bankMsb = event.data2;
      if (event.Kind() == 0xB0 && event.data1 == 32 && selection.program < 0) selection.bankLsb = event.data2;
      if (event.Kind() == 0xC0 && selection.program < 0) {
        selection.program = event.data1;
        selection.programTick = event.tick;
      }
    }
  }
  return selection;
}

bool ChannelHasNotes(const MidiFile &tune, int channel) {
  for (const MidiTrack &track : tune.tracks)
    for (const MidiEvent &event : track.events)
      if (event.Channel() == channel && event.IsNoteOn()) return true;
  return false;
}

const DlsInstrumentInfo *FindInstrument(const DlsCollectionInfo &collection, uint32_t bank, uint32_t program) {
  for (const DlsInstrumentInfo &instrument : collection.instruments)
    if (instrument.bank == bank && instrument.program == program) return &instrument;
  return nullptr;
}

double Rms(const std::vector<float> &signal, size_t from, size_t to) {
  to = std::min(to, signal.size());
  if (to <= from) return 0;
  double sum = 0;
  for (size_t i = from; i < to; i++) sum += double(signal[i]) * signal[i];
  return std::sqrt(sum / double(to - from));
}

namespace {

void Fft(std::vector<std::complex<double>> &a) {
  size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; i++) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t length = 2; length <= n; length <<= 1) {
    double angle = -2 * M_PI / double(length);
    std::complex<double> step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += length) {
      std::complex<double> w(1);
      for (size_t k = 0; k < length / 2; k++) {
        std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
        a[i + k] = u + v;
        a[i + k + length / 2] = u - v;
        w *= step;
      }
    }
  }
}

}  // namespace

double StrongestFrequency(const std::vector<float> &signal, int sampleRate, double low, double high) {
  const size_t size = 65536;
  std::vector<std::complex<double>> spectrum(size);
  size_t start = signal.size() > size ? signal.size() - size : 0;
  for (size_t i = 0; i < size && start + i < signal.size(); i++) {
    double window = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / size);
    spectrum[i] = signal[start + i] * window;
  }
  Fft(spectrum);
  size_t first = size_t(low * size / sampleRate), last = size_t(high * size / sampleRate);
  size_t best = first;
  for (size_t bin = first; bin <= last; bin++)
    if (std::abs(spectrum[bin]) > std::abs(spectrum[best])) best = bin;
  // A parabola through the log magnitudes places the peak between bins.
  double a = std::log(std::abs(spectrum[best - 1]) + 1e-12), b = std::log(std::abs(spectrum[best]) + 1e-12),
         c = std::log(std::abs(spectrum[best + 1]) + 1e-12);
  double shift = 0.5 * (a - c) / (a - 2 * b + c);
  return (double(best) + shift) * sampleRate / size;
}

double Cents(double frequency, double reference) { return 1200.0 * std::log2(frequency / reference); }

double KeyFrequency(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }
