// The process's one clock: the millisecond timer, monotonic and wrapping at
// 2^32, which window timers' messages carry too. For repeatable runs it can be
// a virtual clock that moves only with presented frames; waits are still
// measured in real milliseconds from the same source.
#include <time.h>

#include <cstdlib>

#include "port_internal.h"

namespace {
struct Clock {
  bool ready = false;
  bool isVirtual = false;
  DWORD frameMs = 0;
  DWORD start = 0;
  DWORD virtualNow = 0;
  uint64_t realOrigin = 0;
  // Reads of an unchanged virtual clock in a row: a busy wait for the timer.
  int unchangedReads = 0;
  bool runLimited = false;
  DWORD runMs = 0;
  bool runStarted = false;
  DWORD runStart = 0;
  bool held = false;
  uint64_t heldSince = 0;
};
Clock clock_;

// A busy wait on a clock that only frames move would never end; after this
// many unchanged reads the virtual clock steps on by itself, the same way every run.
const int StalledReads = 64;

bool ReadNumber(const char* name, DWORD* value) {
  const char* text = std::getenv(name);
  if (!text || !*text) return false;
  char* end;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (*end || v > 0xFFFFFFFFull) return false;  // nonsense is ignored, not guessed at
  *value = (DWORD)v;
  return true;
}

void SetUpClock() {
  if (clock_.ready) return;
  clock_.ready = true;
  // A step of 2^31 ms or more would read as a step back on a clock that wraps at 2^32.
  clock_.isVirtual =
      ReadNumber("GLIMMERZ_FRAME_MS", &clock_.frameMs) && clock_.frameMs > 0 && clock_.frameMs < 0x80000000u;
  bool hasStart = ReadNumber("GLIMMERZ_CLOCK_START", &clock_.start);
  clock_.virtualNow = hasStart ? clock_.start : 0;
  clock_.realOrigin = PortRealMs();
  // Like the system's timer, the real clock counts from an arbitrary point.
  if (!hasStart) clock_.start = (DWORD)clock_.realOrigin;
  clock_.runLimited = ReadNumber("GLIMMERZ_RUN_MS", &clock_.runMs);
}

DWORD Now() {
  SetUpClock();
  if (clock_.isVirtual) return clock_.virtualNow;
  if (clock_.held) return clock_.start + (DWORD)(clock_.heldSince - clock_.realOrigin);
  return clock_.start + (DWORD)(PortRealMs() - clock_.realOrigin);
}
}  // namespace

uint64_t PortRealMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u;
}

DWORD PortClockReading() { return Now(); }

void PortHoldClock(bool hold) {
  SetUpClock();
  if (hold == clock_.held) return;
  clock_.held = hold;
  if (hold)
    clock_.heldSince = PortRealMs();
  else
    clock_.realOrigin += PortRealMs() - clock_.heldSince;
}

DWORD timeGetTime() {
  SetUpClock();
  if (clock_.isVirtual && ++clock_.unchangedReads >= StalledReads) {
    clock_.virtualNow += clock_.frameMs;
    clock_.unchangedReads = 0;
  }
  return Now();
}

void PortNoteFramePresented() {
  SetUpClock();
  if (!clock_.isVirtual) return;
  clock_.virtualNow += clock_.frameMs;
  clock_.unchangedReads = 0;
}

bool PortRunLimitReached() {
  SetUpClock();
  if (!clock_.runLimited) return false;
  DWORD now = Now();
  if (!clock_.runStarted) {
    clock_.runStarted = true;
    clock_.runStart = now;
  }
  return now - clock_.runStart >= clock_.runMs;
}
