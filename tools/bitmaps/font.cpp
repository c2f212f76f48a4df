#define STB_TRUETYPE_IMPLEMENTATION
#include "font.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <stdexcept>

void LoadFont(const std::string& path, Font& font) {
  std::ifstream in(path, std::ios::binary);
  font.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (font.data.empty() || !stbtt_InitFont(&font.info, font.data.data(), 0)) {
    throw std::runtime_error("cannot read font " + path);
  }
  int x0, y0, x1, y1;
  if (!stbtt_GetCodepointBox(&font.info, 'H', &x0, &y0, &x1, &y1) || y1 <= 0) {
    throw std::runtime_error("font has no capital H: " + path);
  }
  font.capHeight = y1;
}

std::vector<float> TextMask(const Canvas& canvas, const Font& font, const std::string& text, float centreX,
                            float baselineY, float capHeight, float widthFactor) {
  const float perUnitX = canvas.SubWidth() / std::fabs(canvas.right - canvas.left);
  const float perUnitY = canvas.SubHeight() / std::fabs(canvas.bottom - canvas.top);
  const float scaleY = capHeight * perUnitY / font.capHeight;
  const float scaleX = capHeight * perUnitX / font.capHeight * widthFactor;

  float units = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    int advance, bearing;
    stbtt_GetCodepointHMetrics(&font.info, text[i], &advance, &bearing);
    units += advance;
    if (i + 1 < text.size()) units += stbtt_GetCodepointKernAdvance(&font.info, text[i], text[i + 1]);
  }

  std::vector<float> mask(canvas.cover.size(), 0.0f);
  float penX = (centreX - canvas.left) / (canvas.right - canvas.left) * canvas.SubWidth() - units * scaleX * 0.5f;
  const float penY = (baselineY - canvas.top) / (canvas.bottom - canvas.top) * canvas.SubHeight();
  const int originY = static_cast<int>(std::floor(penY));
  for (size_t i = 0; i < text.size(); ++i) {
    const int originX = static_cast<int>(std::floor(penX));
    const float shiftX = penX - originX, shiftY = penY - originY;
    int x0, y0, x1, y1;
    stbtt_GetCodepointBitmapBoxSubpixel(&font.info, text[i], scaleX, scaleY, shiftX, shiftY, &x0, &y0, &x1, &y1);
    const int w = x1 - x0, h = y1 - y0;
    if (w > 0 && h > 0) {
      std::vector<unsigned char> glyph(static_cast<size_t>(w) * h);
      stbtt_MakeCodepointBitmapSubpixel(&font.info, glyph.data(), w, h, w, scaleX, scaleY, shiftX, shiftY, text[i]);
      for (int gy = 0; gy < h; ++gy) {
        for (int gx = 0; gx < w; ++gx) {
          const int mx = originX + x0 + gx, my = originY + y0 + gy;
          if (mx < 0 || my < 0 || mx >= canvas.SubWidth() || my >= canvas.SubHeight()) continue;
          float& m = mask[static_cast<size_t>(my) * canvas.SubWidth() + mx];
          m = std::max(m, glyph[gy * w + gx] / 255.0f);
        }
      }
    }
    int advance, bearing;
    stbtt_GetCodepointHMetrics(&font.info, text[i], &advance, &bearing);
    penX += advance * scaleX;
    if (i + 1 < text.size()) {
      penX += stbtt_GetCodepointKernAdvance(&font.info, text[i], text[i + 1]) * scaleX;
    }
  }
  return mask;
}
