// The light bulb: clear glass with a highlight, a coiled filament on its lead
// wires, a threaded metal base. The texture is stretched over a quad 0.7 wide
// and 1.0 tall, and the camera shows everything about 12 % taller than wide, so
// the drawing is done in on-screen proportions (0.7 × 1.12) and the canvas
// squeezes it into the square texture. The show tints the bulb by multiplying,
// so the glass stays pale: red, white and the colours between all show on it.
// The program's icon is the same bulb, lit, without the fine wires.
#include "raster.h"

namespace {

const float halfWidth = 0.35f, halfHeight = 0.56f;

// Glass: a globe joined to a narrower neck by a smooth fillet.
const float globeY = 0.2f, globeRadius = 0.325f;
const float neckHalfWidth = 0.13f, neckBottom = -0.27f;
// Metal base and its parts, top to bottom.
const float baseTop = -0.225f, baseBottom = -0.45f, baseHalfWidth = 0.135f;
const float threadPitch = 0.05f;

float GlassDistance(float x, float y) {
  const float globe = std::hypot(x, y - globeY) - globeRadius;
  const float neck =
      RoundBoxDistance(x, y, 0, (globeY + neckBottom) * 0.5f, neckHalfWidth, (globeY - neckBottom) * 0.5f, 0.02f);
  return SmoothUnion(globe, neck, 0.12f);
}

// The filament hangs between the tops of its two wires in a shallow sag.
const float filamentY = 0.34f, filamentHalfLength = 0.11f, filamentSag = 0.035f;
float FilamentCentre(float x) {
  const float t = x / filamentHalfLength;
  return filamentY - filamentSag * (1.0f - t * t);
}

float ThreadPhase(float x, float y) { return (y + 0.1f * x) / threadPitch; }

Rgb MetalShade(float x, Rgb tone) {
  // A cylinder lit from the left: a bright band left of centre, dark rims.
  const float n = Clamp01(std::fabs(x) / baseHalfWidth) * (x < 0 ? -1.0f : 1.0f);
  const float diffuse = 0.5f + 0.4f * std::cos((n + 0.3f) * 1.4f);
  const float shine = 0.45f * std::exp(-std::pow((n + 0.45f) / 0.13f, 2.0f));
  const Rgb lit = Scale(tone, diffuse);
  return {lit.r + shine, lit.g + shine, lit.b + shine};
}

struct BulbStyle {
  Rgb glassMiddle, glassRim;
  float outline;  // width of the glass's darker edge
  float soft;     // width of every edge's blur
  bool innards;   // stem, wires and filament
};

void DrawBulb(Canvas& canvas, const BulbStyle& style) {
  const float soft = style.soft;
  const Rgb glassMiddle = style.glassMiddle, glassRim = style.glassRim;

  // Glass, paler in the middle and greyer towards the rim, where the eye looks
  // through more of it, and a little brighter towards the light, upper left.
  Paint(
      canvas, [&](float x, float y) { return Inside(GlassDistance(x, y), soft); },
      [&](float x, float y) {
        const float d = -GlassDistance(x, y);
        const float towardsLight = Clamp01(0.5f + 0.5f * (-0.6f * x + 0.8f * (y - globeY)) / globeRadius);
        const Rgb body = Scale(Mix(glassRim, glassMiddle, SmoothStep(0.0f, 0.12f, d)), 0.86f + 0.14f * towardsLight);
        return d < style.outline ? Scale(glassRim, 0.85f) : body;
      });

  // The glass stem the wires come out of, seen through the bulb.
  if (style.innards) {
    Paint(
        canvas,
        [&](float x, float y) {
          if (y > 0.03f || y < baseTop) return 0.0f;
          const float t = (0.03f - y) / (0.03f - baseTop);
          const float w = 0.025f + 0.06f * t * t;
          return 0.55f * Inside(std::fabs(x) - w, soft);
        },
        [&](float x, float y) {
          return Rgb{0.8f, 0.83f, 0.88f};
        });

    // Lead wires, a middle support, and the coil.
    const Rgb wire{0.32f, 0.31f, 0.33f};
    const float wireHalf = 0.0045f;
    Paint(
        canvas,
        [&](float x, float y) {
          float d = SegmentDistance(x, y, -0.015f, 0.02f, -filamentHalfLength, filamentY, wireHalf);
          d = std::min(d, SegmentDistance(x, y, 0.015f, 0.02f, filamentHalfLength, filamentY, wireHalf));
          d = std::min(d, SegmentDistance(x, y, 0.0f, 0.02f, 0.0f, FilamentCentre(0) - 0.01f, 0.003f));
          return Inside(d, soft);
        },
        [&](float x, float y) { return wire; });
    Paint(
        canvas,
        [&](float x, float y) {
          if (std::fabs(x) > filamentHalfLength) return 0.0f;
          const float coil = 0.013f * std::sin(x * 6.2831853f / 0.02f);
          return Inside(std::fabs(y - FilamentCentre(x) - coil) - 0.0055f, soft);
        },
        [&](float x, float y) {
          const float coil = std::cos(x * 6.2831853f / 0.02f);
          return Mix(Rgb{0.42f, 0.24f, 0.1f}, Rgb{0.72f, 0.48f, 0.22f}, 0.5f + 0.5f * coil);
        });
  }

  // Reflections on the front of the globe: a window upper left, a faint rim
  // light lower right.
  Paint(
      canvas,
      [&](float x, float y) {
        const float nx = x / globeRadius, ny = (y - globeY) / globeRadius;
        if (GlassDistance(x, y) > 0) return 0.0f;
        // An ellipse leaning with the globe's curve.
        const float u = (nx + 0.45f) * 0.8f + (ny - 0.42f) * 0.6f;
        const float v = -(nx + 0.45f) * 0.6f + (ny - 0.42f) * 0.8f;
        const float window = Inside(std::hypot(u / 0.11f, v / 0.25f) - 1.0f, 0.35f);
        const float inside = -GlassDistance(x, y);
        const float rim = 0.5f * SmoothStep(0.045f, 0.025f, inside) * SmoothStep(0.008f, 0.018f, inside) *
                          SmoothStep(0.1f, 0.6f, nx) * SmoothStep(0.3f, -0.1f, ny);
        return std::max(0.95f * window, rim);
      },
      [&](float x, float y) {
        return Rgb{1, 1, 1};
      });

  // The screw base, its threads bulging past the straight sides.
  const Rgb aluminium{0.8f, 0.8f, 0.83f};
  Paint(
      canvas,
      [&](float x, float y) {
        if (y > baseTop || y < baseBottom) return 0.0f;
        const float crest = 0.5f + 0.5f * std::sin(ThreadPhase(std::copysign(baseHalfWidth, x), y) * 6.2831853f);
        return Inside(std::fabs(x) - baseHalfWidth - 0.012f * crest, soft);
      },
      [&](float x, float y) {
        const float thread = 0.5f + 0.5f * std::sin(ThreadPhase(x, y) * 6.2831853f);
        return Scale(MetalShade(x, aluminium), 0.62f + 0.38f * thread);
      });
  // The crimped rim that holds the glass.
  Paint(
      canvas,
      [&](float x, float y) {
        return Inside(RoundBoxDistance(x, y, 0, baseTop + 0.005f, baseHalfWidth + 0.012f, 0.018f, 0.008f), soft);
      },
      [&](float x, float y) {
        return MetalShade(x, Rgb{0.86f, 0.86f, 0.88f});
      });
  // Black glass insulator and the contact at the bottom.
  Paint(
      canvas,
      [&](float x, float y) {
        if (y > baseBottom + 0.01f || y < -0.5f) return 0.0f;
        const float t = (baseBottom + 0.01f - y) / 0.06f;
        return Inside(std::fabs(x) - Mix(0.115f, 0.075f, t), soft);
      },
      [&](float x, float y) {
        const float shine = 0.25f * std::exp(-std::pow((x + 0.04f) / 0.025f, 2.0f));
        return Rgb{0.1f + shine, 0.1f + shine, 0.11f + shine};
      });
  Paint(
      canvas, [&](float x, float y) { return Inside(RoundBoxDistance(x, y, 0, -0.513f, 0.05f, 0.027f, 0.022f), soft); },
      [&](float x, float y) {
        return MetalShade(x * 2.6f, Rgb{0.78f, 0.66f, 0.4f});
      });
}

}  // namespace

void MakeBulb(ColourImage& colour, GreyImage& alpha) {
  Canvas canvas = MakeCanvas(256, 256, 4, -halfWidth, halfHeight, halfWidth, -halfHeight);
  DrawBulb(canvas, {{0.95f, 0.95f, 0.96f}, {0.66f, 0.7f, 0.78f}, 0.008f, 0.004f, true});
  colour = ResolveStraight(canvas, 3);
  alpha = ResolveCover(canvas);
}

std::vector<ArgbImage> MakeIconImages() {
  std::vector<ArgbImage> images;
  for (int size : {16, 32, 48}) {
    // Square pixels here; the drawing is 1.12 tall, with a little room around.
    const float half = 0.57f, pixel = 2.0f * half / size;
    Canvas canvas = MakeCanvas(size, size, 8, -half, half, half, -half);
    DrawBulb(canvas, {{1.0f, 0.96f, 0.62f}, {0.93f, 0.68f, 0.16f}, 0.9f * pixel, 0.3f * pixel, size >= 48});
    const ColourImage colour = ResolveStraight(canvas, 0);
    const GreyImage alpha = ResolveCover(canvas);
    ArgbImage image{size, size, {}};
    for (size_t i = 0; i < colour.pixels.size(); ++i) {
      image.pixels.push_back(static_cast<uint32_t>(alpha.pixels[i]) << 24 | colour.pixels[i]);
    }
    images.push_back(image);
  }
  return images;
}
