// Captured frames in a browser: window.glimmerzCaptures[t] holds the picture
// for time t as a PNG data URL, and window.glimmerzCaptured turns true once
// every time asked for has its picture.
#include <emscripten.h>

#include <string>

#include "directx/directx_internal.h"

namespace {
// clang-format off
EM_JS(void, StorePictureInPage, (const DWORD* times, int count, const uint8_t* rgba, int width, int height), {
  var canvas = document.createElement("canvas");
  canvas.width = width;
  canvas.height = height;
  var context = canvas.getContext("2d");
  var picture = context.createImageData(width, height);
  picture.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
  context.putImageData(picture, 0, 0);
  var url = canvas.toDataURL("image/png");
  for (var i = 0; i < count; i++) Module.glimmerzPage.storeCapture(HEAPU32[(times >> 2) + i], url);
});
// clang-format on
}  // namespace

void PrepareCaptureStore(const std::string&) {}

void StoreCapture(const std::string&, const std::vector<DWORD>& times, const uint8_t* rgba, int width, int height) {
  StorePictureInPage(times.data(), (int)times.size(), rgba, width, height);
}
