// Kernel services: the command line, the version, text
// conversion and the working folder.
#include <unistd.h>

#include <cstring>
#include <string>

#include "port_internal.h"

static std::string commandLine = "glimmerz";

void PortSetCommandLine(const char* line) { commandLine = line; }

LPSTR GetCommandLineA() { return &commandLine[0]; }

HINSTANCE PortProgramInstance() { return (HINSTANCE)(uintptr_t)0x400000; }

HMODULE GetModuleHandleA(LPCSTR name) { return name ? nullptr : PortProgramInstance(); }

static DWORD lastError = ERROR_SUCCESS;
DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

// The NT line: the system locks the session itself and has no screen-saver
// password provider of its own.
BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  info->dwMajorVersion = 5;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 2600;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  info->szCSDVersion[0] = 0;
  return TRUE;
}

// The ANSI code page here is Latin-1: each byte is its own code point.
int MultiByteToWideChar(UINT, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength) {
  if (!text) return 0;
  int count = length < 0 ? (int)std::strlen(text) + 1 : length;
  if (wideLength == 0) return count;
  if (!wide || wideLength < count) count = wideLength;
  for (int i = 0; i < count; ++i) wide[i] = (unsigned char)text[i];
  return count;
}

// The one caller hands the folder to the music loader as its search directory,
// which the port never searches: a working directory that has been removed, or
// whose path does not fit, must not keep the saver from starting, so the root
// stands in for it.
char* _getcwd(char* buffer, int size) {
  if (!buffer || size <= 0) return nullptr;
  if (getcwd(buffer, (size_t)size)) return buffer;
  if (size < 2) return nullptr;
  std::strcpy(buffer, "/");
  return buffer;
}
