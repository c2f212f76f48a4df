// Captured frames, on the virtual clock so that which frame is due never
// depends on how fast the machine draws.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "port_directx/port_display.h"

namespace {
// Before anything reads the clock: every presented frame moves it 10 ms.
const bool virtualClock = setenv("GLIMMERZ_FRAME_MS", "10", 1) == 0;

void FillAndPresent(PortDisplay& display, D3DCOLOR colour) {
  ASSERT_EQ(display.device->BeginScene(), D3D_OK);
  display.FillScreen(colour);
  display.device->EndScene();
  display.Present();
}

class PortCapture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(virtualClock);
    char pattern[] = "/tmp/glimmerz-capture-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    base = pattern;
    directory = base + "/frames";  // made by the capture itself
  }
  void TearDown() override {
    unsetenv("GLIMMERZ_CAPTURE_DIR");
    unsetenv("GLIMMERZ_CAPTURE_AT");
    ResetCapture();
    if (!base.empty()) std::system(("rm -rf '" + base + "'").c_str());
  }
  bool Exists(DWORD time) { return std::ifstream(directory + "/" + std::to_string(time) + ".png").good(); }
  std::string base;
  std::string directory;
};
}  // namespace

TEST_F(PortCapture, WritesTheFirstFramePresentedAtOrAfterEachTime) {
  PortDisplay display;
  ASSERT_EQ(display.Open(160, 120, 32, IID_IDirect3DHALDevice, 1024, 768), DD_OK);
  DWORD now = timeGetTime();
  DWORD soon = now + 50, never = now + 3600000;
  std::string times = std::to_string(now) + ",nonsense," + std::to_string(soon) + "," + std::to_string(never);
  setenv("GLIMMERZ_CAPTURE_DIR", directory.c_str(), 1);
  setenv("GLIMMERZ_CAPTURE_AT", times.c_str(), 1);
  ResetCapture();

  FillAndPresent(display, 0xFFFF0000);  // due at once
  EXPECT_TRUE(Exists(now));
  while ((int32_t)(timeGetTime() - soon) < 0) FillAndPresent(display, 0xFF808080);
  EXPECT_FALSE(Exists(soon));  // frames before the time are not it
  FillAndPresent(display, 0xFF0000FF);
  FillAndPresent(display, 0xFF00FF00);  // later frames write nothing more
  EXPECT_FALSE(Exists(never));

  int width, height, channels;
  std::string path = directory + "/" + std::to_string(soon) + ".png";
  unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
  ASSERT_NE(pixels, nullptr);
  // The display mode's size, not the window's, and the frame presented first.
  EXPECT_EQ(width, 160);
  EXPECT_EQ(height, 120);
  EXPECT_EQ(pixels[0], 0);
  EXPECT_EQ(pixels[2], 255);
  stbi_image_free(pixels);
}
