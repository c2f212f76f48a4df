// The one rule for showing a colour on a 16-bit display, as GLSL that desktop
// GL and GL ES 3.00 both read: 5, 6 and 5 bits of red, green and blue, the
// rounding error spread in an ordered pattern when dithering.
#include "directx_internal.h"

// Rounds a colour to 5, 6 and 5 bits against the threshold of the ordered
// 4x4 pattern [0 8 2 10; 12 4 14 6; 3 11 1 9; 15 7 13 5] at pixel p when
// dithering (a half otherwise): the 2x2 pattern [0 2; 3 1] within each 2x2
// block, and again across blocks.
const char* const RoundTo16BitsSource = R"(
uniform bool dither;
vec3 RoundTo16Bits(vec3 c, ivec2 p) {
  ivec2 low = p & 1;
  ivec2 high = (p >> 1) & 1;
  int rank = 4 * (((low.x ^ low.y) << 1) | low.y) + (((high.x ^ high.y) << 1) | high.y);
  float threshold = dither ? (float(rank) + 0.5) / 16.0 : 0.5;
  vec3 levels = vec3(31.0, 63.0, 31.0);
  return min(floor(c * levels + threshold), levels) / levels;
}
)";
