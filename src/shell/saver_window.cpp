#include "gfx/gfx.h"
#include "shell/shell.h"

// Grace is counted in frame time: while no frame runs, it does not run out.
static bool GraceIsOver() { return shell.clock.lastFrame - shell.clock.graceStart > GracePeriodMs; }

static void RequestClose(HWND window) {
  shell.closeRequested = 1;
  PostMessageA(window, WM_CLOSE, 0, 0);
}

// The device comes down first so the desktop's display mode is back before the
// system's password dialog appears; a refused password brings the show back.
static void CloseOrResume(HWND window) {
  if (!shell.closeRequested || shell.checkingPassword) return;
  shell.checkingPassword = 1;
  TearDownRenderDevice();
  DWORD scratch = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, &scratch, 0);
  ShowWindow(window, SW_SHOWNORMAL);
  MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), FALSE);
  InvalidateRect(window, nullptr, TRUE);

  if (VerifyPassword(window)) {
    DestroyWindow(window);
    return;
  }
  // phaseStart stays: the time spent in the check counts as show time.
  DWORD now = timeGetTime();
  shell.clock.graceStart = now;
  shell.clock.lastFrame = now;
  SetUpRenderDevice();
  shell.checkingPassword = 0;
}

static void PaintBlack(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, (HBRUSH)GetStockObject(BLACK_BRUSH));
  EndPaint(window, &paint);
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      ShowWindow(window, SW_SHOWNORMAL);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
      if (!shell.checkingPassword && LOWORD(wParam) == 0 && GraceIsOver()) RequestClose(window);
      break;
    case WM_PAINT:
      if (!shell.checkingPassword) break;
      PaintBlack(window);
      return 0;
    case WM_CLOSE:
      CloseOrResume(window);
      return 0;
    case WM_SETCURSOR:
      SetCursor(shell.checkingPassword ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (!shell.checkingPassword) RequestClose(window);
      break;
    case WM_SYSCOMMAND:
      // The system must not start another saver on top, nor close this one past the check.
      if ((DWORD)wParam == SC_SCREENSAVE || (DWORD)wParam == SC_CLOSE) return 0;
      break;
    case WM_MOUSEMOVE:
      if (!shell.checkingPassword && GraceIsOver()) RequestClose(window);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
