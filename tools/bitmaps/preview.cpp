// The ten small frames the display settings page animates: the name in red
// letters standing out of a white page, their shadow swinging round them as if
// the lamp circled the page once every ten frames.
#include <cmath>

#include "font.h"

namespace {

const int frameWidth = 128, frameHeight = 96;
const char* const name = "Glimmerz";
const float capHeight = 17.0f, widthFactor = 0.92f;
const float centreX = 64.0f, baselineY = 58.0f;
const int depthLayers = 4;       // the letters' sides, one pixel apart
const float shadowReach = 5.0f;  // pixels from the letters to their shadow

const Rgb white{1.0f, 1.0f, 1.0f};
const Rgb shadowGrey{0.62f, 0.62f, 0.64f};
const Rgb sideRed{0.45f, 0.02f, 0.02f};
const Rgb faceTop{1.0f, 0.3f, 0.22f};
const Rgb faceBottom{0.78f, 0.03f, 0.03f};

}  // namespace

std::vector<ColourImage> MakePreviewFrames(const std::string& boldFontPath) {
  Font font;
  LoadFont(boldFontPath, font);
  std::vector<ColourImage> frames;
  for (int frame = 0; frame < 10; ++frame) {
    Canvas canvas = MakeCanvas(frameWidth, frameHeight, 4, 0, 0, frameWidth, frameHeight);
    auto solid = [](Rgb c) { return [c](float, float) { return c; }; };
    Paint(
        canvas, [](float, float) { return 1.0f; }, solid(white));

    // The light stands opposite the shadow; frame 0 has it at the upper left.
    const float angle = 3.1415927f * (0.25f + frame / 5.0f);
    const float dx = shadowReach * std::cos(angle), dy = shadowReach * std::sin(angle) * 0.7f;
    auto text = [&](float x, float y) {
      return TextMask(canvas, font, name, centreX + x, baselineY + y, capHeight, widthFactor);
    };
    std::vector<float> shadow = text(dx, dy);
    for (float& m : shadow) m *= 0.8f;
    PaintMask(canvas, shadow, solid(shadowGrey));
    for (int layer = depthLayers; layer >= 1; --layer)
      PaintMask(canvas, text(layer * 0.5f, layer * 0.5f), solid(Scale(sideRed, 1.0f + 0.1f * layer)));
    PaintMask(canvas, text(0, 0), [&](float, float y) {
      return Mix(faceTop, faceBottom, Clamp01((y - (baselineY - capHeight)) / capHeight));
    });
    frames.push_back(ResolveOverBlack(canvas));
  }
  return frames;
}
