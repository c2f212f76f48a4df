// Writes a starting corpus for the decoder fuzzer: one small bitmap of each
// kind the decoder reads, plus the program's own pictures when a folder of them
// is given (their 14-byte file headers removed, as in the resources).
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfx/bitmap_bytes.h"

static void Write(const std::filesystem::path& path, const ByteString& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path corpus = argv[1];
  std::filesystem::create_directories(corpus);
  std::vector<uint32_t> colours;
  for (uint32_t i = 0; i < 256; ++i) colours.push_back(i * 0x010203);
  Write(corpus / "rgb24", Rgb24Bitmap(5, 3, std::vector<uint32_t>(15, 0x123456)));
  Write(corpus / "rgb24-top-down", Rgb24Bitmap(3, -2, std::vector<uint32_t>(6, 0xABCDEF)));
  Write(corpus / "indexed8", Indexed8Bitmap(3, 2, colours, {1, 2, 3, 4, 5, 6}));
  Write(corpus / "rle8",
        Rle8Bitmap(6, 3, colours, {3, 1, 0, 3, 4, 5, 6, 0, 0, 0, 0, 0, 4, 7, 8, 9, 10, 0, 2, 1, 1, 1, 2, 0, 1}));
  ByteString longHeader = BitmapHeader(2, 2, 24, 0, 64);
  Append(longHeader, ByteString(16, 0x77));
  Write(corpus / "long-header", longHeader);
  if (argc > 2 && std::filesystem::is_directory(argv[2])) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
      if (entry.path().extension() != ".bmp") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      ByteString bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (bytes.size() > 14) Write(corpus / entry.path().filename(), ByteString(bytes.begin() + 14, bytes.end()));
    }
  }
  return 0;
}
