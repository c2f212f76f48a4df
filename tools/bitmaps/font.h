// TrueType text for the pictures, through stb_truetype.
#pragma once

#include <stb/stb_truetype.h>

#include <string>
#include <vector>

#include "raster.h"

struct Font {
  std::vector<uint8_t> data;
  stbtt_fontinfo info;
  int capHeight = 0;  // font units, the top of "H"
};

// Throws std::runtime_error when the file cannot be read or is no font.
void LoadFont(const std::string& path, Font& font);

// Per-sub-pixel coverage of one line of text on the canvas, centred on centreX,
// standing on baselineY, capital letters capHeight tall (canvas units), and
// widthFactor times as wide as the font draws them.
std::vector<float> TextMask(const Canvas& canvas, const Font& font, const std::string& text, float centreX,
                            float baselineY, float capHeight, float widthFactor);
