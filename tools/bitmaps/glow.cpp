// The glow: drawn additively over the bulb and in the glow train, so black
// means "no change" and the picture must reach black before its edge, or the
// square of the quad would show.
#include "raster.h"

GreyImage MakeGlow() {
  const int size = 128;
  GreyImage out{size, size, {}};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float dx = (x + 0.5f) / (size * 0.5f) - 1.0f;
      const float dy = (y + 0.5f) / (size * 0.5f) - 1.0f;
      const float r2 = dx * dx + dy * dy;
      float v = 0.0f;
      if (r2 < 1.0f) {
        // A hot core in a wide halo, faded to nothing by a window that also
        // meets zero with zero slope.
        const float core = std::exp(-r2 / 0.03f), halo = std::exp(-r2 / 0.2f);
        const float window = (1.0f - r2) * (1.0f - r2);
        v = (0.5f * core + 0.5f * halo) * window;
      }
      out.pixels.push_back(ToByte(v));
    }
  }
  return out;
}
