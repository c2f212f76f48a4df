#include "settings/dialog.h"

#include "settings/settings.h"

namespace {
HWND dialogOwner;

void CentreOnScreen(HWND dialog) {
  RECT rect;
  if (!GetWindowRect(dialog, &rect)) return;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  MoveWindow(dialog, x, y, width, height, TRUE);
}

void SetCheckFromSetting(HWND dialog, int box, const char* name, const DWORD* defaultValue) {
  DWORD value = 0;
  ReadDwordSetting(name, &value, defaultValue);
  SendDlgItemMessageA(dialog, box, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void InitDialog(HWND dialog) {
  if (!dialogOwner) CentreOnScreen(dialog);
  SetCheckFromSetting(dialog, MusicBoxId, MusicSetting, &DefaultMusic);
  SetCheckFromSetting(dialog, SoundBoxId, SoundSetting, &DefaultSound);
  FillBoardList(dialog);
}

void Command(HWND dialog, int id, int notification) {
  if (id == BoardListId && notification == CBN_SELCHANGE) {
    ClearList(dialog, ModeListId);
    ClearList(dialog, DriverListId);
    FillDriverList(dialog);
  } else if (id == DriverListId && notification == CBN_SELCHANGE) {
    ClearList(dialog, ModeListId);
    FillModeList(dialog);
  } else if (id == IDOK) {
    SaveDialogSettings(dialog);
    EndDialog(dialog, 0);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, 0);
  }
}
}  // namespace

void ShowConfigDialog(HINSTANCE instance, HWND parent) {
  dialogOwner = parent;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(ConfigDialogId), parent, ConfigDialogProc, 0);
}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog);
      return 1;
    case WM_COMMAND:
      Command(dialog, LOWORD(wParam), HIWORD(wParam));
      return 1;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return 1;
    case WM_DESTROY:
      ClearList(dialog, ModeListId);
      ClearList(dialog, DriverListId);
      ClearList(dialog, BoardListId);
      return 1;
  }
  return 0;
}
