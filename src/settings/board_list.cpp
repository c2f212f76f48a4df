// The video board list: one entry per DirectDraw driver, in the order DirectDraw
// reports them; DDRAW.DLL is loaded only for the enumeration.
#include <cstdlib>
#include <cstring>

#include "settings/dialog.h"
#include "settings/settings.h"

namespace {
typedef HRESULT(WINAPI* DirectDrawEnumerateProc)(LPDDENUMCALLBACKA callback, LPVOID context);

void SelectAndFillDrivers(HWND dialog, LRESULT index) {
  SelectListEntry(dialog, BoardListId, index);
  FillDriverList(dialog);
}

BOOL CALLBACK AddBoard(GUID* driver, LPSTR description, LPSTR, LPVOID context) {
  HWND dialog = *(HWND*)context;
  LRESULT index = SendDlgItemMessageA(dialog, BoardListId, CB_ADDSTRING, 0, (LPARAM)description);
  if (index == CB_ERR || index == CB_ERRSPACE) return 0;
  DWORD useNull = 0;
  if (!driver) {
    SendDlgItemMessageA(dialog, BoardListId, CB_SETITEMDATA, (WPARAM)index, 0);
    ReadDwordSetting(UseNullDriverSetting, &useNull, &DefaultUseNullDriver);
    if (useNull) SelectAndFillDrivers(dialog, index);
    return 1;
  }
  // Without its GUID the entry would be saved as the primary display.
  auto* item = (BoardItem*)std::malloc(sizeof(BoardItem));
  if (!AttachItemData(dialog, BoardListId, index, item)) return 0;
  std::memcpy(&item->driver, driver, sizeof(GUID));
  GUID stored;
  ReadDwordSetting(UseNullDriverSetting, &useNull, &DefaultUseNullDriver);
  ReadGuidSetting(DriverGuidSetting, &stored, &DefaultDriverGuid);
  if (!useNull && std::memcmp(&stored, driver, sizeof(GUID)) == 0) SelectAndFillDrivers(dialog, index);
  return 1;
}
}  // namespace

void FillBoardList(HWND dialog) {
  HMODULE library = LoadLibraryA("DDRAW.DLL");
  if (!library) return;
  auto enumerate = (DirectDrawEnumerateProc)(void*)GetProcAddress(library, "DirectDrawEnumerateA");
  if (!enumerate) {
    FreeLibrary(library);
    return;
  }
  ClearList(dialog, BoardListId);
  ClearList(dialog, ModeListId);
  ClearList(dialog, DriverListId);
  enumerate(AddBoard, &dialog);
  if (SendDlgItemMessageA(dialog, BoardListId, CB_GETCURSEL, 0, 0) == CB_ERR) {
    SelectListEntry(dialog, BoardListId, 0);
    ClearList(dialog, DriverListId);
    ClearList(dialog, ModeListId);
    FillDriverList(dialog);
  }
  FreeLibrary(library);
}
