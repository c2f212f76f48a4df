#include "instrument_design.h"

#include <cmath>

namespace {

// DLS scales are 16.16 fixed point.
int32_t Fixed(double value) { return int32_t(std::lround(value * 65536.0)); }

int32_t Timecents(double seconds) {
  if (seconds <= 0) return int32_t(0x80000000u);  // "no time at all"
  return Fixed(SecondsToTimecents(seconds));
}

// LFO frequency as absolute pitch: cents above 8.176 Hz.
int32_t AbsolutePitch(double hz) { return Fixed(1200.0 * std::log2(hz / 440.0) + 6900.0); }

}  // namespace

// No pan block: where an instrument stands in the mix is the tune's choice.
std::vector<Connection> ArticulateVoice(const VoiceShape &shape) {
  std::vector<Connection> blocks = {
      {ConnSrcNone, ConnSrcNone, ConnDstEg1AttackTime, 0, Timecents(shape.attack)},
      {ConnSrcNone, ConnSrcNone, ConnDstEg1DecayTime, 0, Timecents(shape.sustains ? 1.0 : shape.decay)},
      {ConnSrcNone, ConnSrcNone, ConnDstEg1SustainLevel, 0, Fixed(shape.sustains ? 1000.0 : 0.0)},
      {ConnSrcNone, ConnSrcNone, ConnDstEg1ReleaseTime, 0, Timecents(shape.release)},
  };
  if (shape.vibratoDepth > 0) {
    blocks.push_back({ConnSrcNone, ConnSrcNone, ConnDstLfoFrequency, 0, AbsolutePitch(shape.vibratoRate)});
    blocks.push_back({ConnSrcNone, ConnSrcNone, ConnDstLfoStartDelay, 0, Timecents(shape.vibratoDelay)});
    blocks.push_back({ConnSrcLfo, ConnSrcNone, ConnDstPitch, 0, Fixed(shape.vibratoDepth)});
  }
  return blocks;
}

DlsCollection DesignCollection() {
  DlsCollection collection;
  collection.name = "Glimmerz instruments";
  for (int i = 0; i < voiceShapeCount; i++) {
    const VoiceShape &shape = voiceShapes[i];
    DlsInstrument instrument;
    instrument.name = shape.name;
    instrument.program = shape.program;
    instrument.articulation = ArticulateVoice(shape);
    if (shape.drumKit) {
      instrument.bank = instrumentDrumsFlag;
      for (KitSound &sound : SynthesiseKitSounds()) {
        for (DlsRegion region : sound.keys) {
          region.waveIndex = uint32_t(collection.waves.size());
          instrument.regions.push_back(region);
        }
        collection.waves.push_back(sound.wave);
      }
    } else {
      instrument.bank = 0;
      Wave wave = SynthesiseMelodicWave(shape.program);
      instrument.regions.push_back({0, 127, uint32_t(collection.waves.size()), wave.unityNote, 0});
      collection.waves.push_back(wave);
    }
    collection.instruments.push_back(instrument);
  }
  return collection;
}
