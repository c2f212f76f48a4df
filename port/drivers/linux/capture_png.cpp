// Captured frames as PNG files: DIR/<t>.png, the folder made when missing.
#include <sys/stat.h>

#include <string>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "directx/directx_internal.h"

bool WritePng(const char* path, const uint8_t* rgba, int width, int height) {
  std::vector<uint8_t> rgb((size_t)width * height * 3);
  for (size_t i = 0, n = (size_t)width * height; i < n; ++i) {
    rgb[i * 3] = rgba[i * 4];
    rgb[i * 3 + 1] = rgba[i * 4 + 1];
    rgb[i * 3 + 2] = rgba[i * 4 + 2];
  }
  return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
}

void PrepareCaptureStore(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0777);
  mkdir(path.c_str(), 0777);
}

void StoreCapture(const std::string& directory, const std::vector<DWORD>& times, const uint8_t* rgba, int width,
                  int height) {
  for (DWORD time : times) WritePng((directory + "/" + std::to_string(time) + ".png").c_str(), rgba, width, height);
}
