// Turns the score into a format 1 Standard MIDI File: a conductor track with
// tempo, key and meters, then one track per part.
#pragma once

#include "tune_score.h"

#include <cstdint>
#include <vector>

std::vector<uint8_t> BuildTuneMidi(const Score &score);
