// The Direct3D device list of the chosen board, sorted by the list itself. Ramp
// devices are never offered; HAL and RGB get plain names.
#include <cstdlib>
#include <cstring>

#include "settings/dialog.h"
#include "settings/settings.h"

namespace {
const char* DeviceText(const GUID& device, char* name) {
  if (device == IID_IDirect3DHALDevice) return "Hardware Accelerated (HAL)";
  if (device == IID_IDirect3DRGBDevice) return "Software Emulation (RGB)";
  return name;
}

HRESULT CALLBACK AddDevice(GUID* device, LPSTR, LPSTR name, LPD3DDEVICEDESC hardware, LPD3DDEVICEDESC software,
                           LPVOID context) {
  HWND dialog = *(HWND*)context;
  if (!device || *device == IID_IDirect3DRampDevice || (!hardware && !software)) return 1;
  LPD3DDEVICEDESC chosen = hardware && hardware->dwFlags ? hardware : software;
  if (!chosen || !(chosen->dwFlags & D3DDD_DEVICERENDERBITDEPTH)) return 1;
  LRESULT index = SendDlgItemMessageA(dialog, DriverListId, CB_ADDSTRING, 0, (LPARAM)DeviceText(*device, name));
  if (index == CB_ERR || index == CB_ERRSPACE) return 1;
  auto* item = (DriverItem*)std::malloc(sizeof(DriverItem));
  if (!AttachItemData(dialog, DriverListId, index, item)) return 1;
  std::memcpy(&item->device, device, sizeof(GUID));
  item->renderDepths = chosen->dwDeviceRenderBitDepth;
  GUID stored;
  ReadGuidSetting(DeviceGuidSetting, &stored, &DefaultDeviceGuid);
  if (std::memcmp(&stored, device, sizeof(GUID)) == 0) {
    SelectListEntry(dialog, DriverListId, index);
    FillModeList(dialog);
  }
  return 1;
}
}  // namespace

void FillDriverList(HWND dialog) {
  LRESULT board, boardData;
  if (!GetSelectedItem(dialog, BoardListId, &board, &boardData)) return;
  IDirectDraw4* directDraw = OpenBoard(boardData);
  if (!directDraw) return;
  IDirect3D3* direct3D = nullptr;
  if (SUCCEEDED(directDraw->QueryInterface(IID_IDirect3D3, (void**)&direct3D))) {
    direct3D->EnumDevices(AddDevice, &dialog);
    direct3D->Release();
  }
  directDraw->Release();
  if (SendDlgItemMessageA(dialog, DriverListId, CB_GETCURSEL, 0, 0) == CB_ERR) {
    SelectListEntry(dialog, DriverListId, 0);
    ClearList(dialog, ModeListId);
    FillModeList(dialog);
  }
}
