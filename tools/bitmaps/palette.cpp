// Median-cut colour reduction for the 8-bit colour bitmaps. Black keeps an
// exact entry of its own because the pictures stand on black; the other 255
// entries split the remaining colours by population. No dithering: the pictures
// are smooth, and dither noise would defeat the run-length coding.
#include <algorithm>
#include <map>
#include <unordered_map>

#include "pictures.h"

namespace {

struct ColourCount {
  uint32_t colour;
  uint64_t count;
};

int Channel(uint32_t c, int ch) { return (c >> (16 - 8 * ch)) & 0xFF; }

struct Box {
  size_t begin, end;  // range in the colour list
  uint64_t population;
  int widestChannel;
  int range;
};

Box MeasureBox(const std::vector<ColourCount>& colours, size_t begin, size_t end) {
  Box box{begin, end, 0, 0, 0};
  int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
  for (size_t i = begin; i < end; ++i) {
    box.population += colours[i].count;
    for (int ch = 0; ch < 3; ++ch) {
      lo[ch] = std::min(lo[ch], Channel(colours[i].colour, ch));
      hi[ch] = std::max(hi[ch], Channel(colours[i].colour, ch));
    }
  }
  for (int ch = 0; ch < 3; ++ch) {
    if (hi[ch] - lo[ch] > box.range) {
      box.range = hi[ch] - lo[ch];
      box.widestChannel = ch;
    }
  }
  return box;
}

uint32_t MeanColour(const std::vector<ColourCount>& colours, const Box& box) {
  uint64_t sum[3] = {0, 0, 0};
  for (size_t i = box.begin; i < box.end; ++i) {
    for (int ch = 0; ch < 3; ++ch) sum[ch] += Channel(colours[i].colour, ch) * colours[i].count;
  }
  uint32_t c = 0;
  for (int ch = 0; ch < 3; ++ch) {
    c |= static_cast<uint32_t>((sum[ch] + box.population / 2) / box.population) << (16 - 8 * ch);
  }
  return c;
}

std::vector<uint32_t> ChooseColours(std::vector<ColourCount> colours, size_t wanted) {
  std::vector<uint32_t> chosen;
  if (colours.size() <= wanted) {
    for (const ColourCount& c : colours) chosen.push_back(c.colour);
    return chosen;
  }
  std::vector<Box> boxes{MeasureBox(colours, 0, colours.size())};
  while (boxes.size() < wanted) {
    size_t pick = boxes.size();
    uint64_t bestScore = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const uint64_t score = boxes[i].population * static_cast<uint64_t>(boxes[i].range);
      if (boxes[i].end - boxes[i].begin > 1 && score > bestScore) {
        bestScore = score;
        pick = i;
      }
    }
    if (pick == boxes.size()) break;  // nothing left to split
    const Box box = boxes[pick];
    const int ch = box.widestChannel;
    std::sort(colours.begin() + box.begin, colours.begin() + box.end, [ch](const ColourCount& a, const ColourCount& b) {
      const int ka = Channel(a.colour, ch), kb = Channel(b.colour, ch);
      return ka != kb ? ka < kb : a.colour < b.colour;
    });
    uint64_t seen = 0;
    size_t cut = box.begin + 1;
    for (size_t i = box.begin; i < box.end - 1; ++i) {
      seen += colours[i].count;
      cut = i + 1;
      if (seen * 2 >= box.population) break;
    }
    boxes[pick] = MeasureBox(colours, box.begin, cut);
    boxes.push_back(MeasureBox(colours, cut, box.end));
  }
  for (const Box& box : boxes) chosen.push_back(MeanColour(colours, box));
  return chosen;
}

int Distance(uint32_t a, uint32_t b) {
  // Green counts most to the eye, blue least.
  static const int weight[3] = {3, 4, 2};
  int d = 0;
  for (int ch = 0; ch < 3; ++ch) {
    const int diff = Channel(a, ch) - Channel(b, ch);
    d += weight[ch] * diff * diff;
  }
  return d;
}

}  // namespace

IndexedImage ReduceColours(const ColourImage& image) {
  std::map<uint32_t, uint64_t> histogram;
  for (uint32_t c : image.pixels) {
    if (c != 0) ++histogram[c & 0xFFFFFF];
  }
  std::vector<ColourCount> colours;
  for (const auto& [colour, count] : histogram) colours.push_back({colour, count});

  IndexedImage out;
  out.width = image.width;
  out.height = image.height;
  out.palette.push_back(0);
  for (uint32_t c : ChooseColours(colours, 255)) out.palette.push_back(c);
  const size_t used = out.palette.size();
  out.palette.resize(256, 0);

  std::unordered_map<uint32_t, uint8_t> nearest;
  out.indices.reserve(image.pixels.size());
  for (uint32_t c : image.pixels) {
    c &= 0xFFFFFF;
    auto found = nearest.find(c);
    if (found == nearest.end()) {
      size_t best = 0;
      for (size_t i = 1; i < used; ++i) {
        if (Distance(c, out.palette[i]) < Distance(c, out.palette[best])) best = i;
      }
      found = nearest.emplace(c, static_cast<uint8_t>(best)).first;
    }
    out.indices.push_back(found->second);
  }
  return out;
}
