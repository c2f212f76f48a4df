// Where the picture lands in a window: scaled to fit with its aspect kept,
// centred, as a monitor shows a mode of another shape.
#include <algorithm>
#include <cmath>

#include "directx_internal.h"

Letterbox FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return {0, 0, 0, 0};
  double scale = std::min((double)windowWidth / pictureWidth, (double)windowHeight / pictureHeight);
  int width = std::min(windowWidth, (int)std::lround(pictureWidth * scale));
  int height = std::min(windowHeight, (int)std::lround(pictureHeight * scale));
  return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}
