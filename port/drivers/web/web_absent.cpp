// What a page does not have: the options dialog (its settings are the page's
// ?music= and ?mode=, or the stored text) and windows inside other programs'
// windows, which the preview draws into. Each call fails as it does on
// Windows when the dialog or the host window is not there.
#include "driver.h"

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return -1;
}

BOOL EndDialog(HWND, INT_PTR) { return FALSE; }

LRESULT SendDlgItemMessageA(HWND, int, UINT, WPARAM, LPARAM) { return 0; }

bool PortDialogWindowRect(HWND, RECT*) { return false; }

bool PortDialogMove(HWND, int, int, int, int) { return false; }

const PortForeignWindows* const portForeignWindows = nullptr;

void PortCloseForeignWindows() {}
