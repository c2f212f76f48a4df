// The show's dice.
#include <cstdlib>

#include "gfx/gfx.h"

int RandomUpTo(float limit) {
  // Fifteen bits whatever the runtime's RAND_MAX, so the show's chances come
  // out the same on every system it runs on.
  const int draw = std::rand() & 0x7FFF;
  return (int)(draw / 32767.0 * limit);
}
