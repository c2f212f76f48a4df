// The show: the slide deck loaded from the string table, and the director that
// draws the commercial one frame at a time as a machine of timed phases.
#pragma once

#include "platform.h"

// ---- Slide deck ----
// One fixed block: 8 slides of 9 slots of 256 bytes. Slot 0 holds the headline,
// slots 1 to 8 the bullets; a slot holding exactly "z" closes its list.
const int SlideCount = 8;
const int SlotsPerSlide = 9;
const int SlotSize = 256;
const int SlideSize = SlotsPerSlide * SlotSize;    // 2,304
const int SlideDeckSize = SlideCount * SlideSize;  // 18,432
const UINT FirstHeadlineString = 200;
const UINT FirstBulletString = 210;  // + 10 per headline
extern const char* const EndMarker;

// Null while no deck is loaded.
extern char* slideDeck;

int LoadSlideDeck();
void FreeSlideDeck();
int IsEndMarker(const char* text);
// Slot 0 of a slide, and bullet k (slot 1 + k). Anything outside the block, or
// any slide while no deck is loaded, reads as the end marker.
const char* SlideHeadline(int slide);
const char* SlideBullet(int slide, int bullet);

// ---- Director ----
enum ShowPhase : int32_t {
  SignFade = 1,
  BulbTitle = 2,
  BulbZoom = 3,
  HeadlineFlyIn = 5,
  HeadlineJolt = 6,
  HeadlineFlyOut = 7,
  BulletTyping = 8,
  BulletHold = 9,
  BulletSpin = 10,
};

// What the show carries from one frame to the next. The phase itself and the
// phase clock live in the shell's record (shell.showPhase, shell.clock).
struct ShowDirector {
  uint8_t slideIndex;  // wraps at 256 like the byte it is
  int32_t bulletIndex;
  int32_t wordIndex;
  DWORD wordTimer;
  int32_t joltCycles;
  float trainX;
  float headlineDepth;
  float titleDepth;
  float backdropPhases[4];  // radians; never reset
};

extern ShowDirector showDirector;

// The state the program starts with.
void ResetShowDirector();
// Draws and presents one frame of the current phase; does nothing while the
// render device is missing.
void RenderShowFrame();
