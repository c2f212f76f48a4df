// Boards are monitors: the first is the primary display driver, known by the
// null GUID; each further monitor is a board of its own. Its GUID comes from the
// monitor's name and how many monitors of that name come before it, so it stays
// the same from run to run while the monitors stay, and a stored choice finds
// its monitor again.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver.h"

namespace {
// Video is started for the question and stopped again when nobody else had it.
struct VideoForAsking {
  bool started;
  const PortVideoDriver* video;
  VideoForAsking() {
    started = PortVideoIfRunning() == nullptr;
    video = PortVideo();
  }
  ~VideoForAsking() {
    if (started && video) PortStopVideo();
  }
};

GUID GuidOfDisplay(const PortVideoDriver* video, int display) {
  std::string name = video->monitorName(display);
  WORD sameNameBefore = 0;
  for (int i = 0; i < display; ++i)
    if (video->monitorName(i) == name) ++sameNameBefore;
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  GUID guid = {0x5A4D4C47, 0xB0A2, sameNameBefore, {}};
  for (int i = 0; i < 8; ++i) guid.Data4[i] = (BYTE)(hash >> (8 * i));
  return guid;
}
}  // namespace

int BoardOfGuid(const GUID* guid) {
  static const GUID none = {};
  if (!guid || *guid == none) return 0;
  VideoForAsking ask;
  if (!ask.video) return -1;
  for (int display = 1; display < ask.video->monitorCount(); ++display)
    if (GuidOfDisplay(ask.video, display) == *guid) return display;
  return -1;
}

int BoardCount() {
  VideoForAsking ask;
  return ask.video ? std::max(ask.video->monitorCount(), 1) : 1;
}

bool BoardBounds(int board, int* x, int* y, int* width, int* height) {
  VideoForAsking ask;
  RECT bounds;
  if (!ask.video || !ask.video->monitorBounds(board, &bounds)) return false;
  *x = bounds.left;
  *y = bounds.top;
  *width = bounds.right - bounds.left;
  *height = bounds.bottom - bounds.top;
  return true;
}

void PlaceWindowOnBoard(HWND window, int board) {
  PortWindow* w = PortWindowOf(window);
  if (w && w->video && w->video->placeOnMonitor && PortWindowPlacedByProgram(window))
    w->video->placeOnMonitor(w, board);
}

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  char description[] = "Primary Display Driver";
  char name[] = "display";
  if (!callback(nullptr, description, name, context)) return DD_OK;
  VideoForAsking ask;
  if (!ask.video) return DD_OK;
  for (int display = 1; display < ask.video->monitorCount(); ++display) {
    GUID guid = GuidOfDisplay(ask.video, display);
    char boardDescription[160], boardName[32];
    // Systems name monitors in UTF-8; the program reads its own code page.
    std::snprintf(boardDescription, sizeof boardDescription, "Monitor %d (%s)", display + 1,
                  PortLatin1(ask.video->monitorName(display)).c_str());
    std::snprintf(boardName, sizeof boardName, "\\\\.\\DISPLAY%d", display + 1);
    if (!callback(&guid, boardDescription, boardName, context)) break;
  }
  return DD_OK;
}
