// The built tune and collection, read once per test process, and the few
// signal measures the render tests use.
#pragma once

#include "dls_reader.h"
#include "midi_reader.h"

#include <string>
#include <vector>

std::string TunePath();
std::string CollectionPath();
std::string SoundFontPath();

// Empty (and the error set) when the file does not parse.
const MidiFile &BuiltTune(std::string *error = nullptr);
const DlsCollectionInfo &BuiltCollection(std::string *error = nullptr);

// The instrument a channel selects at the start: bank from CC0/CC32 and the
// program; -1 when the channel never selects one.
struct ChannelSelection {
  int bankMsb = 0, bankLsb = 0, program = -1;
  uint32_t programTick = 0;
};
ChannelSelection SelectionOfChannel(const MidiFile &tune, int channel);
bool ChannelHasNotes(const MidiFile &tune, int channel);
const DlsInstrumentInfo *FindInstrument(const DlsCollectionInfo &collection, uint32_t bank, uint32_t program);

double Rms(const std::vector<float> &signal, size_t from, size_t to);

// Frequency of the strongest partial between `low` and `high` Hz, to a
// fraction of a cent for a steady tone.
double StrongestFrequency(const std::vector<float> &signal, int sampleRate, double low, double high);

double Cents(double frequency, double reference);
double KeyFrequency(int key);
