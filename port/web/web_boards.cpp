// A page has one board: the browser's screen, the primary display driver. A
// stored choice of another board names none here.
#include <emscripten.h>

#include "directx/directx_internal.h"

namespace {
EM_JS(int, ScreenPixels, (int height), {
  var scale = window.devicePixelRatio || 1;
  return Math.round((height ? screen.height : screen.width) * scale);
});
}  // namespace

int BoardCount() { return 1; }

int BoardOfGuid(const GUID* guid) {
  static const GUID none = {};
  return !guid || *guid == none ? 0 : -1;
}

bool BoardBounds(int board, int* x, int* y, int* width, int* height) {
  if (board != 0) return false;
  *x = *y = 0;
  *width = ScreenPixels(0);
  *height = ScreenPixels(1);
  return *width > 0 && *height > 0;
}

void PlaceWindowOnBoard(HWND, int) {}

HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  char description[] = "Primary Display Driver";
  char name[] = "display";
  callback(nullptr, description, name, context);
  return DD_OK;
}
