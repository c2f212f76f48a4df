/* The one step of the removal that Windows Installer's own tables cannot say:
   the user's current screen saver is cleared only while it still names the
   Glimmerz.scr being removed. A user who has picked another saver since keeps
   it. Any failure leaves the setting as it is; it never stops the removal. */
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#define DESKTOP_KEY L"Control Panel\\Desktop"
#define SAVER_VALUE L"SCRNSAVE.EXE"

/* Whether two paths name the same file, whichever of its long and short
   (8.3) names each one uses. */
static int NameSameFile(const wchar_t *a, const wchar_t *b) {
  wchar_t longA[MAX_PATH], longB[MAX_PATH];
  DWORD lengthA = GetLongPathNameW(a, longA, MAX_PATH);
  DWORD lengthB = GetLongPathNameW(b, longB, MAX_PATH);
  if (lengthA == 0 || lengthA >= MAX_PATH) lstrcpynW(longA, a, MAX_PATH);
  if (lengthB == 0 || lengthB >= MAX_PATH) lstrcpynW(longB, b, MAX_PATH);
  return lstrcmpiW(longA, longB) == 0;
}

/* The installed file's full path, from the package's File table key. */
static int ReadInstalledPath(MSIHANDLE install, wchar_t *path, DWORD size) {
  MSIHANDLE record = MsiCreateRecord(0);
  UINT result;
  if (!record) return 0;
  MsiRecordSetStringW(record, 0, L"[#GlimmerzScr]");
  result = MsiFormatRecordW(install, record, path, &size);
  MsiCloseHandle(record);
  return result == ERROR_SUCCESS && path[0] != 0;
}

__declspec(dllexport) UINT __stdcall ForgetSaver(MSIHANDLE install) {
  wchar_t installed[MAX_PATH], current[MAX_PATH + 1];
  DWORD type, bytes = sizeof current - sizeof current[0];
  HKEY key;
  if (!ReadInstalledPath(install, installed, MAX_PATH)) return ERROR_SUCCESS;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, DESKTOP_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return ERROR_SUCCESS;
  if (RegQueryValueExW(key, SAVER_VALUE, NULL, &type, (BYTE *)current, &bytes) == ERROR_SUCCESS && type == REG_SZ) {
    current[bytes / sizeof current[0]] = 0;
    if (NameSameFile(current, installed)) RegDeleteValueW(key, SAVER_VALUE);
  }
  RegCloseKey(key);
  return ERROR_SUCCESS;
}
