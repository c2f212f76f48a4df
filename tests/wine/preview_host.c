/* A stand-in for the display settings page: a grey 152 x 112 window at 100, 80
   that starts the saver in preview mode with its handle. It writes to RESULT
   what it sees of the saver's child window once that appears ("child <visible>
   <width> <height>"), and once the file STOP appears it destroys its window and
   writes whether and how fast the saver ended, with its exit code, and whether
   it was still running until then ("ended <code> <ms> after-the-host").

   usage: preview_host.exe SAVER STOP RESULT

   Given itself as SAVER (/p HWND), it stands in for the saver: a plain red child
   of the host in the saver's class until the host goes. Whether the red shows
   tells whether Wine paints a child window that another process made. */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static int StandIn(HWND host) {
  WNDCLASSA windowClass = {0};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
  windowClass.lpszClassName = "glmzpreview";
  RECT rect;
  if (!RegisterClassA(&windowClass) || !GetWindowRect(host, &rect)) return 1;
  HWND child = CreateWindowExA(0, "glmzpreview", "Glimmerz Preview", WS_CHILD | WS_VISIBLE, 0, 0,
                               rect.right - rect.left, rect.bottom - rect.top, host, NULL, windowClass.hInstance, NULL);
  MSG msg;
  SetTimer(NULL, 0, 50, NULL);
  while (IsWindow(child) && GetMessageA(&msg, NULL, 0, 0) > 0) DispatchMessageA(&msg);
  return child ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 3 && lstrcmpA(argv[1], "/p") == 0) return StandIn((HWND)(UINT_PTR)strtoul(argv[2], NULL, 10));
  if (argc != 4) return 2;
  WNDCLASSA windowClass = {0};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.hbrBackground = CreateSolidBrush(RGB(128, 128, 128));
  windowClass.lpszClassName = "previewhost";
  if (!RegisterClassA(&windowClass)) return 3;
  HWND host = CreateWindowExA(0, "previewhost", "Preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 80, 152,
                              112, NULL, NULL, windowClass.hInstance, NULL);
  if (!host) return 4;
  UpdateWindow(host);
  FILE* result = fopen(argv[3], "w");
  if (!result) return 5;

  char line[1024];
  snprintf(line, sizeof line, "\"%s\" /p %lu", argv[1], (unsigned long)(UINT_PTR)host);
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION saver;
  if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &saver)) return 6;

  SetTimer(NULL, 0, 50, NULL);
  BOOL childSeen = FALSE;
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER) {
      HWND child = FindWindowExA(host, NULL, "glmzpreview", "Glimmerz Preview");
      if (child && !childSeen && IsWindowVisible(child)) {
        RECT rect;
        GetWindowRect(child, &rect);
        fprintf(result, "child %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
        fflush(result);
        childSeen = TRUE;
      }
      if (GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES) break;
    }
    DispatchMessageA(&msg);
  }
  BOOL ranToTheEnd = WaitForSingleObject(saver.hProcess, 0) == WAIT_TIMEOUT;
  DWORD destroyed = GetTickCount();
  DestroyWindow(host);
  DWORD waited = WaitForSingleObject(saver.hProcess, 10000);
  DWORD took = GetTickCount() - destroyed;
  DWORD code = 999;
  GetExitCodeProcess(saver.hProcess, &code);
  fprintf(result, "%s %lu %lu %s\n", waited == WAIT_OBJECT_0 ? "ended" : "running", (unsigned long)code,
          (unsigned long)took, ranToTheEnd ? "after-the-host" : "before-the-host");
  fclose(result);
  return 0;
}
