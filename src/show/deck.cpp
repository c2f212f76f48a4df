#include <cstdlib>
#include <cstring>

#include "shell/shell.h"
#include "show/show.h"

const char* const EndMarker = "z";

char* slideDeck = nullptr;

static char* Slot(int slide, int slot) { return slideDeck + slide * SlideSize + slot * SlotSize; }

// A missing or empty string reads as the end of its list.
static int LoadSlot(UINT id, char* slot) {
  if (LoadStringA(shell.instance, id, slot, SlotSize) <= 0 || IsEndMarker(slot)) {
    std::strcpy(slot, EndMarker);
    return 0;
  }
  return 1;
}

int LoadSlideDeck() {
  if (slideDeck) return 1;
  // Left uncleared: every list is closed by a marker and nothing reads past one.
  slideDeck = static_cast<char*>(std::malloc(SlideDeckSize));
  if (!slideDeck) return 0;
  // A longer table than the block holds is cut short: the last record and the
  // last slot of each record are kept for the marker.
  for (int i = 0; i < SlideCount; ++i) {
    if (i == SlideCount - 1 || !LoadSlot(FirstHeadlineString + i, Slot(i, 0))) {
      std::strcpy(Slot(i, 0), EndMarker);
      return 1;
    }
    for (int j = 0; j < SlotsPerSlide - 1; ++j) {
      if (j == SlotsPerSlide - 2 || !LoadSlot(FirstBulletString + 10 * i + j, Slot(i, 1 + j))) {
        std::strcpy(Slot(i, 1 + j), EndMarker);
        break;
      }
    }
  }
  return 1;  // not reached: the last record always takes the marker
}

void FreeSlideDeck() {
  std::free(slideDeck);
  slideDeck = nullptr;
}

int IsEndMarker(const char* text) { return std::strcmp(text, EndMarker) == 0; }

const char* SlideHeadline(int slide) {
  if (!slideDeck || slide < 0 || slide >= SlideCount) return EndMarker;
  return Slot(slide, 0);
}

const char* SlideBullet(int slide, int bullet) {
  if (!slideDeck || slide < 0 || slide >= SlideCount || bullet < 0 || bullet >= SlotsPerSlide - 1) return EndMarker;
  return Slot(slide, 1 + bullet);
}
