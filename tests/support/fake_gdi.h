// Recording stand-ins for the bitmap, memory-context and window-timer calls.
// A loaded bitmap's handle is its resource number plus BitmapHandleBase, so a
// test can tell from a recorded call which frame was meant.
#pragma once

#include <set>

#include "platform.h"

const uintptr_t BitmapHandleBase = 0xB0000;

struct FakeGdi {
  std::set<int> missingBitmaps;  // resource numbers that do not load; the rest are 128 x 96
  bool createDcFails = false;
  std::set<int> liveBitmaps;
  int liveDcs = 0;
};

extern FakeGdi fakeGdi;
void ResetFakeGdi();
