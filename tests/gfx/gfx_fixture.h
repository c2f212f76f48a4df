// Common ground for the graphics tests: a fresh fake system with a saver
// window, fake DirectX, the settings store over the fake registry, and small
// stand-in pictures under the resource ids the device loads.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/bitmap_bytes.h"
#include "gfx/gfx.h"
#include "shell/shell.h"
#include "support/fake_com.h"
#include "support/fake_directx.h"
#include "support/fake_win32.h"

// Stand-in picture sizes, all different so a texture's surface tells which
// picture it came from.
struct PictureSize {
  int id;
  int width;
  int height;
};
extern const PictureSize standInPictures[8];

void PutBitmapResource(int id, const ByteString& bytes);
// The DirectX calls (and SystemParametersInfoA) in the log, in order.
std::vector<std::string> DeviceCalls();

class GfxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Set-up with the stand-in pictures; fails the test unless it returns 1.
  void SetUpDevice();
};
