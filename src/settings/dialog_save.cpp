// OK in the options dialog: every list with a selection, then both check boxes.
#include "settings/dialog.h"
#include "settings/settings.h"

namespace {
void SaveCheck(HWND dialog, int box, const char* name) {
  DWORD value = SendDlgItemMessageA(dialog, box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  WriteDwordSetting(name, &value);
}
}  // namespace

void SaveDialogSettings(HWND dialog) {
  LRESULT index, data;
  if (GetSelectedItem(dialog, BoardListId, &index, &data)) {
    const DWORD primary = 1, other = 0;
    if (!data) {
      WriteDwordSetting(UseNullDriverSetting, &primary);
    } else {
      WriteGuidSetting(DriverGuidSetting, &((BoardItem*)data)->driver);
      WriteDwordSetting(UseNullDriverSetting, &other);
    }
  }
  // An entry whose item data could not be made has nothing to save.
  if (GetSelectedItem(dialog, DriverListId, &index, &data) && data)
    WriteGuidSetting(DeviceGuidSetting, &((DriverItem*)data)->device);
  if (GetSelectedItem(dialog, ModeListId, &index, &data) && data) {
    const DDSURFACEDESC2& mode = ((ModeItem*)data)->mode;
    DWORD bpp = mode.ddpfPixelFormat.dwRGBBitCount;
    WriteDwordSetting(DisplayWidthSetting, &mode.dwWidth);
    WriteDwordSetting(DisplayHeightSetting, &mode.dwHeight);
    WriteDwordSetting(DisplayBppSetting, &bpp);
  }
  SaveCheck(dialog, MusicBoxId, MusicSetting);
  SaveCheck(dialog, SoundBoxId, SoundSetting);
}
