#include <cstring>

#include "settings/settings.h"

// Read and set values; create the key when it is missing, so a read creates it too.
const REGSAM SettingsAccess = KEY_READ | KEY_SET_VALUE;

static int OpenSettingsKey(HKEY* key) {
  DWORD disposition;
  return RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, SettingsAccess,
                         nullptr, key, &disposition) == ERROR_SUCCESS;
}

// A store that cannot be opened (a config folder that cannot be made, a
// read-only one) still hands back the default, so the show runs on defaults.
// A missing value, or one too long for its slot, is replaced by the default for
// good. A stored value shorter than the slot is taken as a little-endian number
// that was stored short: its bytes come first and the rest of the slot is zero,
// so the caller never sees bytes nobody wrote.
static int ReadSetting(const char* name, void* out, const void* defaultValue, DWORD size, DWORD type) {
  HKEY key;
  if (!OpenSettingsKey(&key)) {
    std::memcpy(out, defaultValue, size);
    return 0;
  }
  BYTE value[16] = {};
  DWORD got = size;
  if (RegQueryValueExA(key, name, nullptr, nullptr, value, &got) == ERROR_SUCCESS && got <= size) {
    std::memcpy(out, value, size);
  } else {
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(defaultValue), size);
    std::memcpy(out, defaultValue, size);
  }
  RegCloseKey(key);
  return 1;
}

static int WriteSetting(const char* name, const void* value, DWORD size, DWORD type) {
  HKEY key;
  if (!OpenSettingsKey(&key)) return 0;
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(value), size);
  RegCloseKey(key);
  return 1;
}

int ReadDwordSetting(const char* name, DWORD* out, const DWORD* defaultValue) {
  return ReadSetting(name, out, defaultValue, sizeof(DWORD), REG_DWORD);
}

int ReadGuidSetting(const char* name, void* out, const void* defaultValue) {
  return ReadSetting(name, out, defaultValue, sizeof(GUID), REG_BINARY);
}

int WriteDwordSetting(const char* name, const DWORD* value) {
  return WriteSetting(name, value, sizeof(DWORD), REG_DWORD);
}

int WriteGuidSetting(const char* name, const void* value) {
  return WriteSetting(name, value, sizeof(GUID), REG_BINARY);
}
