// Frame capture for tests and demonstrations: GLIMMERZ_CAPTURE_DIR=DIR with
// GLIMMERZ_CAPTURE_AT=t1,t2,... writes DIR/<t>.png, the first frame presented
// when the millisecond clock reads t or later, at the display mode's size.
// With the virtual clock the same settings give the same files, byte for byte.
// Where a picture goes is the system's affair (StoreCapture): a PNG file on
// Linux, a PNG data URL of the page in a browser.
#include <cerrno>
#include <cstdlib>
#include <string>

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

// Times are compared as distances from the first frame's reading, so a clock
// that wraps past 2^32 during the run still reaches them in order; times before
// the first frame are due at once.
bool Due(DWORD time, DWORD now) {
  int32_t ahead = (int32_t)(time - capture.firstFrame);
  return ahead <= 0 || (DWORD)(now - capture.firstFrame) >= (DWORD)ahead;
}
}  // namespace

void CaptureDueFrames(DWORD now, int width, int height) {
  if (!capture.read) ReadSettings();
  if (capture.times.empty()) return;
  if (!capture.started) {
    capture.started = true;
    capture.firstFrame = now;
    PrepareCaptureStore(capture.directory);
  }
  std::vector<DWORD> due;
  for (const CaptureTime& t : capture.times)
    if (!t.written && Due(t.time, now)) due.push_back(t.time);
  if (due.empty()) return;
  std::vector<uint8_t> picture = ReadPresentedPicture();
  if (picture.empty()) return;
  // Many times due at one frame share its one picture: a page stays responsive.
  StoreCapture(capture.directory, due, picture.data(), width, height);
  // A picture that cannot be stored is not tried again: the show goes on.
  for (CaptureTime& t : capture.times) t.written = t.written || Due(t.time, now);
}

void ResetCapture() { capture = Capture(); }
