// The page's side of the frame loop. The program's loop never returns to the
// browser by itself; the port lets the browser in once a frame (and while the
// show waits), the program's stack kept and resumed by emscripten's Asyncify.
#include <emscripten.h>

#include "port_internal.h"
#include "web.h"

const char* const WebCanvas = "#glimmerz";

namespace {
// The page resolves glimmerzPage.started when the visitor presses Start (at
// once for ?autostart=1) and makes a new one for each show.
// clang-format off
EM_ASYNC_JS(void, AwaitStart, (), {
  await Module.glimmerzPage.awaitStart();
});

EM_ASYNC_JS(void, AwaitAnimationFrame, (), {
  await new Promise(function(resolve) { requestAnimationFrame(function() { resolve(); }); });
  // clang-format on
});

// Each frame's clock reading, for the page's frame-rate measurement (?measure=1).
// clang-format off
EM_JS(void, TellPageFrameShown, (unsigned clock), {
  Module.glimmerzPage.frameShown(clock);
});

EM_JS(int, PageHoldsShow, (), {
  return Module.glimmerzPage.holding ? 1 : 0;
});

EM_JS(int, PageLeftFullScreen, (), {
  return Module.glimmerzPage.leftFullScreen ? 1 : 0;
});

EM_JS(void, TellPageShowEnded, (), {
  Module.glimmerzPage.showEnded();
});

EM_JS(void, TellPageShowFailed, (), {
  Module.glimmerzPage.showFailed();
});
// clang-format on

bool frameShown = false;

// clang-format off
EM_ASYNC_JS(void, SleepInPage, (int ms), {
  await new Promise(function(resolve) { setTimeout(resolve, ms); });
  // clang-format on
});
}  // namespace

bool WebShowHeld() { return PageHoldsShow() != 0; }

void WebAwaitNextFrame() {
  frameShown = true;
  TellPageFrameShown(PortClockReading());
  if (WebShowHeld()) {
    PortHoldClock(true);
    AwaitStart();
    PortHoldClock(false);
    return;
  }
  AwaitAnimationFrame();
}

bool WebNoteShowEnded() {
  if (!frameShown) {
    TellPageShowFailed();
    return false;
  }
  frameShown = false;
  TellPageShowEnded();
  return true;
}

bool WebFullScreenLeft() { return PageLeftFullScreen() != 0; }

void WebSleep(int ms) { SleepInPage(ms < 0 ? 0 : ms); }
