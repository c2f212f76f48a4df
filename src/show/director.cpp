#include "shell/shell.h"
#include "gfx/gfx.h"
#include "show/scenes.h"

static const ShowDirector startState = {0, 0, 0, 0, 0, 0.0f, 0.01f, 0.0f, {0.0f, 0.0f, 0.0f, 0.0f}};

ShowDirector showDirector = startState;

void ResetShowDirector() { showDirector = startState; }

DWORD PhaseTime() { return shell.clock.phaseElapsed; }
DWORD FrameTime() { return shell.clock.frameDelta; }

DWORD LowByte(double value) {
  // Far outside any channel's range the conversion would be undefined; such
  // values never occur in a sound run, and 0 is as good a channel as any.
  if (!(value > -9.0e18 && value < 9.0e18)) return 0;
  return (DWORD)(int64_t)value & 0xFF;
}

D3DCOLOR Grey(DWORD g) { return 0xFF000000u + g * 0x010101u; }

DWORD FadeStep(DWORD t) {
  float v = (float)t * 0.092727f;
  return v >= 255.0f ? 255 : (DWORD)v;
}

void RestartPhaseClock() {
  shell.clock.phaseStart = timeGetTime();
  shell.clock.phaseElapsed = 0;
}

static void EnterPhase(ShowPhase phase) {
  RestartPhaseClock();
  shell.showPhase = phase;
}

// The headline's fly-in with the slide in slideIndex, or, when that record
// closes the deck, the opening again with the first slide.
static void StartSlideOrOpening() {
  ShowDirector& s = showDirector;
  int deckDone = IsEndMarker(SlideHeadline(s.slideIndex));
  if (deckDone) s.slideIndex = 0;
  s.bulletIndex = 0;
  RestartPhaseClock();
  s.wordTimer = shell.clock.phaseStart;
  s.headlineDepth = 0.01f;
  shell.showPhase = deckDone ? SignFade : HeadlineFlyIn;
}

void AdvancePhase() {
  ShowDirector& s = showDirector;
  switch (shell.showPhase) {
    case SignFade:
      EnterPhase(BulbTitle);
      break;
    case BulbTitle:
      s.titleDepth = 1.5f;
      EnterPhase(BulbZoom);
      break;
    case BulbZoom:
      s.slideIndex = 0;
      // An empty deck has nothing to show after the opening but the opening.
      if (IsEndMarker(SlideHeadline(0))) {
        StartSlideOrOpening();
        break;
      }
      EnterPhase(HeadlineFlyIn);
      break;
    case HeadlineFlyIn:
      EnterPhase(HeadlineJolt);
      s.wordIndex = 0;
      s.wordTimer = shell.clock.phaseStart;
      s.joltCycles = 0;
      break;
    case HeadlineJolt:
      s.headlineDepth = 2.0f;
      EnterPhase(HeadlineFlyOut);
      break;
    case HeadlineFlyOut:
      s.bulletIndex = 0;
      // A headline without bullets has no page: straight on to the next slide.
      if (IsEndMarker(SlideBullet(s.slideIndex, 0))) {
        s.slideIndex += 1;
        StartSlideOrOpening();
        break;
      }
      EnterPhase(BulletTyping);
      break;
    case BulletTyping:
      EnterPhase(BulletHold);
      break;
    case BulletHold:
      EnterPhase(BulletSpin);
      break;
    case BulletSpin:
      s.slideIndex += 1;
      StartSlideOrOpening();
      break;
    default:
      break;
  }
}

static void PlayCurrentPhase() {
  switch (shell.showPhase) {
    case SignFade:
      PlaySignFade();
      break;
    case BulbTitle:
      PlayBulbTitle();
      break;
    case BulbZoom:
      PlayBulbZoom();
      break;
    case HeadlineFlyIn:
      PlayHeadlineFlyIn();
      break;
    case HeadlineJolt:
      PlayHeadlineJolt();
      break;
    case HeadlineFlyOut:
      PlayHeadlineFlyOut();
      break;
    case BulletTyping:
      PlayBulletTyping();
      break;
    case BulletHold:
      PlayBulletHold();
      break;
    case BulletSpin:
      PlayBulletSpin();
      break;
    default:
      break;  // no such phase: an empty frame
  }
}

void RenderShowFrame() {
  if (!renderDevice.primarySurface || !renderDevice.viewport || !renderDevice.device) return;
  renderDevice.device->BeginScene();
  PlayCurrentPhase();
  renderDevice.device->EndScene();
  renderDevice.primarySurface->Flip(nullptr, DDFLIP_WAIT);
}
