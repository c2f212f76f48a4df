// The glyph sheet: white letters on black, one 16 × 16 cell per character code.
// The show places every character 8.4 texels after the previous one whatever its
// shape, so the letters are drawn centred in their cells at a size where that
// step looks like ordinary spacing. stb_truetype does no hinting; each glyph is
// instead nudged sideways by a fraction of a pixel to where its stems fall most
// squarely on the pixel grid, which keeps it sharp when the texture is enlarged.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "font.h"

namespace {

const int cellSize = 16;
const float emPixels = 14.6f;    // x-height 8 px, capitals 10.6 px
const float widthFactor = 0.9f;  // a touch narrower than drawn, for the fixed step
const int baselineRow = 12;      // x-height centred in the cell, descenders fit below
const float widestInk = 10.5f;   // m, w, M, W are narrowed to this so they crowd no neighbour

// Share of the ink that sits in fully lit pixels: 1 for a glyph on the grid.
float Sharpness(const std::vector<unsigned char>& bits) {
  double sum = 0, squares = 0;
  for (unsigned char v : bits) {
    sum += v;
    squares += static_cast<double>(v) * v;
  }
  return sum > 0 ? static_cast<float>(squares / (sum * 255.0)) : 1.0f;
}

}  // namespace

GreyImage MakeGlyphSheet(const std::string& fontPath) {
  Font font;
  LoadFont(fontPath, font);
  const float scaleY = stbtt_ScaleForMappingEmToPixels(&font.info, emPixels);
  const float baseScaleX = scaleY * widthFactor;

  GreyImage sheet{cellSize * 16, cellSize * 16, {}};
  sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, 0);
  for (int code = 33; code <= 126; ++code) {
    int bx0, by0, bx1, by1;
    if (!stbtt_GetCodepointBox(&font.info, code, &bx0, &by0, &bx1, &by1)) continue;
    const float scaleX = std::min(baseScaleX, widestInk / (bx1 - bx0));
    const float ideal = cellSize * 0.5f - (bx0 + bx1) * 0.5f * scaleX;

    std::vector<unsigned char> best;
    int bestLeft = 0, bestTop = 0, bestW = 0, bestH = 0;
    float bestScore = -1;
    for (int step = -4; step <= 4; ++step) {
      const float penX = ideal + step / 8.0f;
      const int originX = static_cast<int>(std::floor(penX));
      int x0, y0, x1, y1;
      stbtt_GetCodepointBitmapBoxSubpixel(&font.info, code, scaleX, scaleY, penX - originX, 0, &x0, &y0, &x1, &y1);
      const int w = x1 - x0, h = y1 - y0;
      std::vector<unsigned char> bits(static_cast<size_t>(w) * h);
      stbtt_MakeCodepointBitmapSubpixel(&font.info, bits.data(), w, h, w, scaleX, scaleY, penX - originX, 0, code);
      // Off-centre placements must earn their place with clearly crisper stems.
      const float score = Sharpness(bits) - 0.02f * std::abs(step);
      if (score > bestScore) {
        bestScore = score;
        best = bits;
        bestLeft = originX + x0;
        bestTop = baselineRow + y0;
        bestW = w;
        bestH = h;
      }
    }

    const int cellX = (code % 16) * cellSize, cellY = (code / 16) * cellSize;
    for (int y = 0; y < bestH; ++y) {
      for (int x = 0; x < bestW; ++x) {
        const int cx = bestLeft + x, cy = bestTop + y;
        if (best[y * bestW + x] == 0) continue;
        if (cx < 0 || cy < 0 || cx >= cellSize || cy >= cellSize) {
          throw std::runtime_error("glyph does not fit its cell: " + std::to_string(code));
        }
        sheet.pixels[static_cast<size_t>(cellY + cy) * sheet.width + cellX + cx] = best[y * bestW + x];
      }
    }
  }
  return sheet;
}
