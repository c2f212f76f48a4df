#include "shell/shell.h"

typedef BOOL(WINAPI* VerifyScreenSavePwdProc)(HWND);
typedef DWORD(WINAPI* PwdChangePasswordProc)(LPCSTR, HWND, DWORD, DWORD);

// Only the Windows 95/98 line has a screen-saver password of its own; NT locks
// the workstation itself, and a missing provider means there is nothing to ask.
int VerifyPassword(HWND window) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return 1;

  HMODULE library = LoadLibraryA("PASSWORD.CPL");
  if (!library) return 1;
  FARPROC proc = GetProcAddress(library, "VerifyScreenSavePwd");
  if (!proc) {
    FreeLibrary(library);
    return 1;
  }
  BOOL accepted = reinterpret_cast<VerifyScreenSavePwdProc>(reinterpret_cast<void*>(proc))(window);
  FreeLibrary(library);
  return accepted;
}

int RunPasswordChange(HWND owner) {
  HMODULE library = LoadLibraryA("MPR.DLL");
  if (!library) return 0;
  FARPROC proc = GetProcAddress(library, "PwdChangePasswordA");
  if (!proc) {
    FreeLibrary(library);
    return 0;
  }
  reinterpret_cast<PwdChangePasswordProc>(reinterpret_cast<void*>(proc))("SCRSAVE", owner, 0, 0);
  FreeLibrary(library);
  return 1;
}
