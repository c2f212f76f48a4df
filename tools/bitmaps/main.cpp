// glimmerz_bitmaps OUTPUT_DIR BOLD_FONT: writes the program's bitmaps and icon
// into OUTPUT_DIR under the names the resource script uses.
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "pictures.h"

namespace {

void WriteFile(const std::string& dir, const std::string& name, const Bytes& bytes) {
  const std::string path = dir + "/" + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR BOLD_FONT.ttf\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1], boldFont = argv[2];
  try {
    WriteFile(dir, "font.bmp", MakeGreyRle8BitmapFile(MakeGlyphSheet(boldFont)));
    WriteFile(dir, "glow.bmp", MakeGreyRle8BitmapFile(MakeGlow()));

    ColourImage colour;
    GreyImage alpha;
    MakeBulb(colour, alpha);
    WriteFile(dir, "bulb.bmp", MakeRle8BitmapFile(ReduceColours(colour)));
    WriteFile(dir, "bulb_alpha.bmp", MakeGreyRle8BitmapFile(alpha));

    WriteFile(dir, "rock.bmp", MakeRgb24BitmapFile(MakeRock()));
    WriteFile(dir, "rockblob_alpha.bmp", MakeRgb24BitmapFile(MakeRockBlobMask()));

    MakeWarningSign(boldFont, colour, alpha);
    WriteFile(dir, "sign.bmp", MakeRle8BitmapFile(ReduceColours(colour)));
    WriteFile(dir, "sign_alpha.bmp", MakeGreyRle8BitmapFile(alpha));

    const std::vector<ColourImage> frames = MakePreviewFrames(boldFont);
    for (size_t i = 0; i < frames.size(); ++i)
      WriteFile(dir, "preview" + std::to_string(i) + ".bmp", MakeRle8BitmapFile(ReduceColours(frames[i])));

    WriteFile(dir, "glimmerz.ico", MakeIconFile(MakeIconImages()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "glimmerz_bitmaps: %s\n", e.what());
    return 1;
  }
  return 0;
}
