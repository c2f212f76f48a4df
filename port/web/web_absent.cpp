// What a page does not have: the options dialog (its settings are the page's
// ?music= and ?mode=, or the stored text) and windows inside other programs'
// windows, which the preview draws into. Each call fails as it does on
// Windows when the dialog or the host window is not there.
#include "win32/dialog/dialog.h"
#include "win32/win32_internal.h"

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return -1;
}

BOOL EndDialog(HWND, INT_PTR) { return FALSE; }

LRESULT SendDlgItemMessageA(HWND, int, UINT, WPARAM, LPARAM) { return 0; }

bool PortDrawChildPixels(PortWindow*, int, int, int, int, const uint32_t*, int) { return false; }
