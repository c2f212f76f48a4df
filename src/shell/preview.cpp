#include "shell/shell.h"

const WORD FirstPreviewBitmap = 101;
const UINT_PTR PreviewTimerId = 1;
const UINT PreviewFrameMs = 66;

HBITMAP previewFrames[PreviewFrameCount];
int32_t previewFrame = 0;

static void PaintPreviewFrame(HWND window) {
  PAINTSTRUCT paint;
  HBITMAP frame = previewFrames[previewFrame];
  HDC memory = frame ? CreateCompatibleDC(nullptr) : nullptr;
  // The paint request is answered even when there is nothing to draw: a window
  // that never validates itself is asked to paint again at once, for ever.
  if (!memory) {
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
    return;
  }
  SelectObject(memory, frame);
  BITMAP size = {};
  GetObjectA(frame, sizeof size, &size);
  RECT rect = {};
  GetWindowRect(window, &rect);
  // Signed halving: a host smaller than the picture crops it evenly on both sides.
  int x = (rect.right - rect.left - size.bmWidth) / 2;
  int y = (rect.bottom - rect.top - size.bmHeight) / 2;
  HDC dc = BeginPaint(window, &paint);
  BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  EndPaint(window, &paint);
  DeleteDC(memory);
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetTimer(window, PreviewTimerId, PreviewFrameMs, nullptr);
      ShowWindow(window, SW_SHOWNORMAL);
      return 0;
    case WM_DESTROY:
      KillTimer(window, PreviewTimerId);
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      PaintPreviewFrame(window);
      return 0;
    case WM_TIMER:
      if (++previewFrame > PreviewFrameCount - 1) previewFrame = 0;
      // Only the picture changes; erasing would make the white around it flicker.
      InvalidateRect(window, nullptr, FALSE);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

static int OpenPreviewWindow() {
  RECT host = {};
  GetWindowRect(shell.parentWindow, &host);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PreviewWindowProc;
  windowClass.hInstance = shell.instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
  windowClass.lpszClassName = "glmzpreview";
  if (!RegisterClassExA(&windowClass)) return 0;
  shell.mainWindow = CreateWindowExA(0, "glmzpreview", "Glimmerz Preview", WS_CHILD, 0, 0, host.right - host.left,
                                     host.bottom - host.top, shell.parentWindow, nullptr, shell.instance, nullptr);
  return shell.mainWindow != nullptr;
}

int RunPreview() {
  for (int i = 0; i < PreviewFrameCount; ++i)
    previewFrames[i] = (HBITMAP)LoadImageA(shell.instance, MAKEINTRESOURCEA(FirstPreviewBitmap + i), IMAGE_BITMAP, 0, 0,
                                           LR_DEFAULTCOLOR);
  if (OpenPreviewWindow()) {
    MSG msg = {};
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    while (msg.message != WM_QUIT) {
      if (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  // The frames are the mode's own whether or not the window came up.
  for (HBITMAP& frame : previewFrames) {
    if (frame) DeleteObject(frame);
    frame = nullptr;
  }
  return 1;
}
