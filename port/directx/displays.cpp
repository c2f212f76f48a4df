// The display modes DirectDraw reports for a board. Since a mode is only the
// size of the picture (the monitor keeps its own mode), every common size up to
// the board's monitor's is offered.
#include <algorithm>

#include "directx_internal.h"

namespace {
const DisplayMode commonSizes[] = {
    {640, 480, 0},   {720, 480, 0},   {800, 600, 0},   {1024, 768, 0},  {1152, 864, 0},
    {1280, 720, 0},  {1280, 800, 0},  {1280, 960, 0},  {1280, 1024, 0}, {1360, 768, 0},
    {1366, 768, 0},  {1440, 900, 0},  {1600, 900, 0},  {1600, 1200, 0}, {1680, 1050, 0},
    {1920, 1080, 0}, {1920, 1200, 0}, {2560, 1440, 0}, {2560, 1600, 0}, {3840, 2160, 0},
};

// The monitor's size; 1024x768 when there is no monitor to ask.
void ScreenSize(int board, DWORD* width, DWORD* height) {
  *width = 1024;
  *height = 768;
  int x, y, w, h;
  if (BoardBounds(board, &x, &y, &w, &h) && w >= 320 && h >= 200) {
    *width = (DWORD)w;
    *height = (DWORD)h;
  }
}
}  // namespace

std::vector<DisplayMode> ListDisplayModes(int board) {
  DWORD screenWidth, screenHeight;
  ScreenSize(board, &screenWidth, &screenHeight);
  std::vector<DisplayMode> sizes;
  for (const DisplayMode& size : commonSizes)
    if (size.width <= screenWidth && size.height <= screenHeight) sizes.push_back(size);
  bool screenListed = std::any_of(sizes.begin(), sizes.end(), [&](const DisplayMode& m) {
    return m.width == screenWidth && m.height == screenHeight;
  });
  if (!screenListed) sizes.push_back({screenWidth, screenHeight, 0});
  // A screen smaller than 640x480 still gets the mode every program asks for.
  if (sizes.size() == 1 && (screenWidth < 640 || screenHeight < 480)) sizes.insert(sizes.begin(), {640, 480, 0});
  std::sort(sizes.begin(), sizes.end(), [](const DisplayMode& a, const DisplayMode& b) {
    return a.width != b.width ? a.width < b.width : a.height < b.height;
  });
  std::vector<DisplayMode> modes;
  for (const DisplayMode& size : sizes) {
    modes.push_back({size.width, size.height, 16});
    modes.push_back({size.width, size.height, 32});
  }
  return modes;
}

bool PortOffersDisplayMode(DWORD width, DWORD height, DWORD bpp) {
  for (int board = 0, boards = BoardCount(); board < boards; ++board)
    for (const DisplayMode& m : ListDisplayModes(board))
      if (m.width == width && m.height == height && m.bpp == bpp) return true;
  return false;
}

void DescribeDisplayMode(const DisplayMode& mode, DDSURFACEDESC2* desc) {
  *desc = DDSURFACEDESC2();
  desc->dwSize = sizeof(DDSURFACEDESC2);
  desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = mode.width;
  desc->dwHeight = mode.height;
  desc->lPitch = (LONG)(mode.width * (mode.bpp / 8));
  desc->dwRefreshRate = 60;
  DDPIXELFORMAT& f = desc->ddpfPixelFormat;
  f.dwSize = sizeof(DDPIXELFORMAT);
  f.dwFlags = DDPF_RGB;
  f.dwRGBBitCount = mode.bpp;
  if (mode.bpp == 16) {
    f.dwRBitMask = 0xF800;
    f.dwGBitMask = 0x07E0;
    f.dwBBitMask = 0x001F;
  } else {
    f.dwRBitMask = 0xFF0000;
    f.dwGBitMask = 0x00FF00;
    f.dwBBitMask = 0x0000FF;
  }
}
