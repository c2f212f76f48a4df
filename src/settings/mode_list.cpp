// The display mode list: the chosen board's RGB modes at the depths the chosen
// device can draw at, in the board's order.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/dialog.h"
#include "settings/settings.h"

namespace {
struct ModeContext {
  HWND dialog;
  DWORD renderDepths;
};

DWORD DepthFlag(DWORD bits) {
  switch (bits) {
    case 16:
      return DDBD_16;
    case 24:
      return DDBD_24;
    case 32:
      return DDBD_32;
  }
  return 0;
}

HRESULT CALLBACK AddMode(LPDDSURFACEDESC2 mode, LPVOID context) {
  const ModeContext& c = *(ModeContext*)context;
  const DWORD needed = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  if ((mode->dwFlags & needed) != needed || !(mode->ddpfPixelFormat.dwFlags & DDPF_RGB)) return 1;
  DWORD bits = mode->ddpfPixelFormat.dwRGBBitCount;
  if (!(DepthFlag(bits) & c.renderDepths)) return 1;
  char text[64];
  std::snprintf(text, sizeof text, "%ux%u, %u-bit", (unsigned)mode->dwWidth, (unsigned)mode->dwHeight, (unsigned)bits);
  LRESULT index = SendDlgItemMessageA(c.dialog, ModeListId, CB_ADDSTRING, 0, (LPARAM)text);
  if (index == CB_ERR || index == CB_ERRSPACE) return 0;
  DWORD width = 0, height = 0, bpp = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  ReadDwordSetting(DisplayHeightSetting, &height, &DefaultDisplayHeight);
  ReadDwordSetting(DisplayBppSetting, &bpp, &DefaultDisplayBpp);
  if (mode->dwWidth == width && mode->dwHeight == height && bits == bpp) SelectListEntry(c.dialog, ModeListId, index);
  auto* item = (ModeItem*)std::malloc(sizeof(ModeItem));
  if (!AttachItemData(c.dialog, ModeListId, index, item)) return 0;
  std::memcpy(&item->mode, mode, sizeof(DDSURFACEDESC2));
  return 1;
}
}  // namespace

void FillModeList(HWND dialog) {
  LRESULT board, boardData, device, deviceData;
  if (!GetSelectedItem(dialog, BoardListId, &board, &boardData)) return;
  if (!GetSelectedItem(dialog, DriverListId, &device, &deviceData) || !deviceData) return;
  IDirectDraw4* directDraw = OpenBoard(boardData);
  if (!directDraw) return;
  DDSURFACEDESC2 wanted;
  std::memset(&wanted, 0, sizeof wanted);
  wanted.dwSize = sizeof wanted;
  wanted.dwFlags = DDSD_CAPS;
  wanted.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE | DDSCAPS_VIDEOMEMORY;
  ModeContext context = {dialog, ((DriverItem*)deviceData)->renderDepths};
  directDraw->EnumDisplayModes(0, &wanted, &context, AddMode);
  directDraw->Release();
  if (SendDlgItemMessageA(dialog, ModeListId, CB_GETCURSEL, 0, 0) == CB_ERR) SelectListEntry(dialog, ModeListId, 0);
}
