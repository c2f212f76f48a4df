// Captured frames in a browser: window.glimmerzCaptures[t] holds the picture
// for time t as a PNG data URL, and window.glimmerzCaptured turns true once
// every time asked for has its picture.
#include <emscripten.h>

#include <string>

#include "directx/directx_internal.h"

namespace {
EM_JS(void, StorePictureInPage, (unsigned time, const uint8_t* rgba, int width, int height), {
  var canvas = document.createElement("canvas");
  canvas.width = width;
  canvas.height = height;
  var context = canvas.getContext("2d");
  var picture = context.createImageData(width, height);
  picture.data.set(HEAPU8.subarray(rgba, rgba + width * height * 4));
  context.putImageData(picture, 0, 0);
  Module.glimmerzPage.storeCapture(time, canvas.toDataURL("image/png"));
});
}  // namespace

void PrepareCaptureStore(const std::string&) {}

void StoreCapture(const std::string&, DWORD time, const uint8_t* rgba, int width, int height) {
  StorePictureInPage(time, rgba, width, height);
}
