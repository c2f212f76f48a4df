// The combo-box steps every list of the options dialog shares.
#include <cstdlib>

#include "settings/dialog.h"

void ClearList(HWND dialog, int list) {
  while (SendDlgItemMessageA(dialog, list, CB_GETCOUNT, 0, 0) > 0) {
    LRESULT data = SendDlgItemMessageA(dialog, list, CB_GETITEMDATA, 0, 0);
    if (data != CB_ERR && data != 0) std::free((void*)data);
    SendDlgItemMessageA(dialog, list, CB_DELETESTRING, 0, 0);
  }
}

bool GetSelectedItem(HWND dialog, int list, LRESULT* index, LRESULT* data) {
  *index = SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0);
  if (*index == CB_ERR) return false;
  *data = SendDlgItemMessageA(dialog, list, CB_GETITEMDATA, (WPARAM)*index, 0);
  return *data != CB_ERR;
}

void SelectListEntry(HWND dialog, int list, LRESULT index) {
  SendDlgItemMessageA(dialog, list, CB_SETCURSEL, (WPARAM)index, 0);
}

bool AttachItemData(HWND dialog, int list, LRESULT index, void* item) {
  if (!item) {
    SendDlgItemMessageA(dialog, list, CB_DELETESTRING, (WPARAM)index, 0);
    return false;
  }
  SendDlgItemMessageA(dialog, list, CB_SETITEMDATA, (WPARAM)index, (LPARAM)item);
  return true;
}

IDirectDraw4* OpenBoard(LRESULT boardData) {
  IDirectDraw4* directDraw = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DirectDraw, nullptr, 7, IID_IDirectDraw4, (void**)&directDraw))) return nullptr;
  if (FAILED(directDraw->Initialize((GUID*)boardData))) {
    directDraw->Release();
    return nullptr;
  }
  return directDraw;
}
