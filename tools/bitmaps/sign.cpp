// The cave warning sign. The quad is 3.5 × 2 and the camera adds about 12 %
// of height, so the sign is laid out in on-screen units (3.5 × 2.24) and the
// canvas squeezes it into the square texture. It is drawn without blending, so
// everything around the board is black; the alpha picture is the board's shape.
#include "font.h"

namespace {

const float halfWidth = 1.75f, halfHeight = 1.12f;
const Rgb black{0.04f, 0.04f, 0.04f};
const Rgb yellow{1.0f, 0.8f, 0.06f};
const Rgb red{0.8f, 0.08f, 0.06f};
const Rgb white{0.97f, 0.97f, 0.95f};

// A bat with spread wings in a box of ±1 × ±0.5, its wings' trailing edges
// scalloped between the finger tips.
bool InsideBat(float x, float y) {
  const float ax = std::fabs(x);
  if (std::hypot(x / 0.12f, (y + 0.05f) / 0.24f) < 1.0f) return true;  // body
  if (std::hypot(x, y - 0.2f) < 0.1f) return true;                     // head
  if (ax > 0.02f && ax < 0.1f && y > 0.2f && y < 0.4f - 1.6f * std::fabs(ax - 0.07f)) return true;
  if (ax < 0.06f || ax > 1.0f) return false;
  const float top = ax < 0.5f ? Mix(0.1f, 0.34f, (ax - 0.06f) / 0.44f) : Mix(0.34f, 0.14f, (ax - 0.5f) / 0.5f);
  static const float tipX[] = {0.06f, 0.4f, 0.72f, 1.0f};
  static const float tipY[] = {-0.24f, -0.16f, -0.04f, 0.14f};
  float bottom = top;
  for (int i = 0; i < 3; ++i) {
    if (ax >= tipX[i] && ax <= tipX[i + 1]) {
      const float t = (ax - tipX[i]) / (tipX[i + 1] - tipX[i]);
      bottom = Mix(tipY[i], tipY[i + 1], t) + 0.13f * std::sin(3.1415927f * t);
    }
  }
  return y > bottom && y < top;
}

}  // namespace

void MakeWarningSign(const std::string& boldFontPath, ColourImage& colour, GreyImage& alpha) {
  Font font;
  LoadFont(boldFontPath, font);
  Canvas canvas = MakeCanvas(256, 256, 4, -halfWidth, halfHeight, halfWidth, -halfHeight);
  const float soft = 0.006f;
  auto solid = [](Rgb c) { return [c](float, float) { return c; }; };

  // The board: a yellow face with a black border stripe set in from its edge,
  // a little lighter at the top as if lit from above.
  auto face = [&](float x, float y) { return Scale(yellow, 0.9f + 0.1f * (y + 1.07f) / 2.14f); };
  Paint(
      canvas, [&](float x, float y) { return Inside(RoundBoxDistance(x, y, 0, 0, 1.7f, 1.07f, 0.16f), soft); }, face);
  Paint(
      canvas,
      [&](float x, float y) {
        return Inside(std::fabs(RoundBoxDistance(x, y, 0, 0, 1.6f, 0.97f, 0.1f)) - 0.035f, soft);
      },
      solid(black));

  // Header: DANGER in white on a red band.
  Paint(
      canvas, [&](float x, float y) { return Inside(RoundBoxDistance(x, y, 0, 0.565f, 1.44f, 0.265f, 0.08f), soft); },
      solid(red));
  PaintMask(canvas, TextMask(canvas, font, "DANGER", 0.0f, 0.37f, 0.4f, 1.0f), solid(white));

  // Pictogram: a bat flying out of a cave mouth, in a black frame.
  const float px = -0.95f, py = -0.33f, half = 0.52f;
  Paint(
      canvas, [&](float x, float y) { return Inside(RoundBoxDistance(x, y, px, py, half, half, 0.08f), soft); },
      solid(black));
  Paint(
      canvas,
      [&](float x, float y) { return Inside(RoundBoxDistance(x, y, px, py, half - 0.06f, half - 0.06f, 0.04f), soft); },
      face);
  auto hill = [&](float x, float y) {
    // A lumpy mound standing on the frame's floor.
    const float u = (x - px) / 0.46f;
    const float top = py - 0.46f + 0.44f * std::sqrt(std::max(0.0f, 1.0f - u * u)) + 0.025f * std::sin(u * 9.0f) +
                      0.015f * std::sin(u * 23.0f + 1.0f);
    return y - top;  // negative inside
  };
  auto mouth = [&](float x, float y) { return std::hypot((x - px) / 0.17f, (y - (py - 0.46f)) / 0.27f) - 1.0f; };
  Paint(
      canvas,
      [&](float x, float y) {
        if (std::fabs(x - px) > half - 0.06f || y < py - half) return 0.0f;
        return Inside(hill(x, y), soft);
      },
      solid(black));
  Paint(
      canvas,
      [&](float x, float y) {
        if (std::fabs(x - px) > half - 0.06f || y < py - half + 0.06f) return 0.0f;
        return Inside(hill(x, y) + 0.035f, soft) * (1.0f - Inside(mouth(x, y) - 0.12f, 0.05f));
      },
      [&](float x, float y) {
        // Stone: mottled brown-grey.
        const float mottle =
            0.5f + 0.25f * std::sin(x * 31.0f + std::sin(y * 17.0f) * 2.0f) * std::sin(y * 27.0f - x * 5.0f);
        return Mix(Rgb{0.3f, 0.25f, 0.2f}, Rgb{0.55f, 0.48f, 0.4f}, mottle);
      });
  Paint(
      canvas,
      [&](float x, float y) {
        if (y < py - half + 0.06f) return 0.0f;
        return Inside(mouth(x, y), 0.02f);
      },
      solid(black));
  Paint(
      canvas, [&](float x, float y) { return InsideBat((x - px) / 0.4f, (y - (py + 0.2f)) / 0.4f) ? 1.0f : 0.0f; },
      solid(black));

  // CAVE, and what to do about it.
  PaintMask(canvas, TextMask(canvas, font, "CAVE", 0.55f, -0.3f, 0.42f, 1.0f), solid(black));
  PaintMask(canvas, TextMask(canvas, font, "KEEP OUT", 0.55f, -0.72f, 0.2f, 1.0f), solid(black));

  colour = ResolveOverBlack(canvas);
  alpha = ResolveCover(canvas);
}
