// Frame capture for tests and demonstrations: GLIMMERZ_CAPTURE_DIR=DIR with
// GLIMMERZ_CAPTURE_AT=t1,t2,... writes DIR/<t>.png, the first frame presented
// when the millisecond clock reads t or later, at the display mode's size.
// With the virtual clock the same settings give the same files, byte for byte.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "directx_internal.h"

namespace {
struct CaptureTime {
  DWORD time;
  bool written;
};

struct Capture {
  bool read = false;
  std::string directory;
  std::vector<CaptureTime> times;
  bool started = false;
  DWORD firstFrame = 0;
};
Capture capture;

void ReadSettings() {
  capture = Capture();
  capture.read = true;
  const char* directory = std::getenv("GLIMMERZ_CAPTURE_DIR");
  const char* list = std::getenv("GLIMMERZ_CAPTURE_AT");
  if (!directory || !*directory || !list) return;
  capture.directory = directory;
  // Entries that are not plain numbers below 2^32 are passed over.
  for (const char* p = list; *p;) {
    char* end;
    errno = 0;
    unsigned long long value = std::strtoull(p, &end, 10);
    bool number = end != p && errno == 0 && value <= 0xFFFFFFFFull && (*end == ',' || *end == '\0') && *p != '-';
    if (number) capture.times.push_back({(DWORD)value, false});
    while (*end && *end != ',') ++end;
    p = *end ? end + 1 : end;
  }
}

void MakeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0777);
  mkdir(path.c_str(), 0777);
}

// Times are compared as distances from the first frame's reading, so a clock
// that wraps past 2^32 during the run still reaches them in order; times before
// the first frame are due at once.
bool Due(DWORD time, DWORD now) {
  int32_t ahead = (int32_t)(time - capture.firstFrame);
  return ahead <= 0 || (DWORD)(now - capture.firstFrame) >= (DWORD)ahead;
}
}  // namespace

bool WritePng(const char* path, const uint8_t* rgba, int width, int height) {
  std::vector<uint8_t> rgb((size_t)width * height * 3);
  for (size_t i = 0, n = (size_t)width * height; i < n; ++i) {
    rgb[i * 3] = rgba[i * 4];
    rgb[i * 3 + 1] = rgba[i * 4 + 1];
    rgb[i * 3 + 2] = rgba[i * 4 + 2];
  }
  return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
}

void CaptureDueFrames(DWORD now, int width, int height) {
  if (!capture.read) ReadSettings();
  if (capture.times.empty()) return;
  if (!capture.started) {
    capture.started = true;
    capture.firstFrame = now;
    MakeDirectories(capture.directory);
  }
  std::vector<uint8_t> picture;
  for (CaptureTime& t : capture.times) {
    if (t.written || !Due(t.time, now)) continue;
    if (picture.empty()) picture = ReadPresentedPicture();
    if (picture.empty()) return;
    std::string path = capture.directory + "/" + std::to_string(t.time) + ".png";
    WritePng(path.c_str(), picture.data(), width, height);
    // A file that cannot be written is not tried again: the show goes on.
    t.written = true;
  }
}

void ResetCapture() { capture = Capture(); }
