// Writes the same instrument collection as a SoundFont 2.01 file, for
// synthesisers that read SoundFonts and not DLS (the web build's). Each DLS
// instrument becomes a preset of the same bank and program with one
// instrument zone per region; the waves, key ranges, unity notes, loops and
// key groups are the collection's. Like FluidSynth's DLS loader, it leaves the
// articulation to the tune's own SoundFont NRPNs, so both sound alike.
#pragma once

#include "dls_builder.h"

#include <cstdint>
#include <vector>

std::vector<uint8_t> BuildSf2File(const DlsCollection &collection);
