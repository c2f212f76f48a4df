// The registry calls over the stored keys: each call is one session on the
// store (registry_file.cpp on Linux, the page's storage in a browser), so
// several processes or pages never lose each other's values.
#include <cstring>
#include <string>

#include "port_internal.h"
#include "registry.h"

namespace {
struct OpenKey {
  std::string path;
};

bool KeyPath(HKEY parent, LPCSTR subKey, std::string* path) {
  if (parent != HKEY_CURRENT_USER || !subKey) return false;
  *path = "HKEY_CURRENT_USER\\" + PortUtf8(subKey);
  return true;
}

HandleTable keyHandles{true, {}};

// Text kept as UTF-16LE as an A call reads it: in the program's code page, '?'
// for a character that Latin-1 lacks (a surrogate pair is one character).
std::vector<BYTE> InCodePage(const std::vector<BYTE>& utf16) {
  std::vector<BYTE> text;
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    unsigned unit = utf16[i] | utf16[i + 1] << 8;
    if (unit < 0xDC00 || unit >= 0xE000) text.push_back(unit > 0xFF ? '?' : (BYTE)unit);
  }
  return text;
}

// An open key's own record, or null for anything that is not a live key handle.
OpenKey* KeyOf(HKEY key) { return static_cast<OpenKey*>(FindHandle(keyHandles, (uintptr_t)key, HandleKind::Key)); }

LSTATUS OpenedKey(const std::string& path, PHKEY result) {
  auto* key = new OpenKey{path};
  *result = reinterpret_cast<HKEY>(AddHandle(keyHandles, HandleKind::Key, key));
  if (*result) return ERROR_SUCCESS;
  delete key;
  return ERROR_OUTOFMEMORY;
}
}  // namespace

LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                        LPDWORD disposition) {
  std::string path;
  if (!result) return ERROR_INVALID_PARAMETER;
  if (!KeyPath(parent, subKey, &path)) return ERROR_INVALID_HANDLE;
  {
    RegistryFile readOnly(false);
    if (readOnly.ready() && FindRegistryKey(&readOnly.document(), path)) {
      if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
      return OpenedKey(path, result);
    }
  }
  // A key that cannot be made still opens while values are held under it, so
  // that they hold even where nothing can be stored.
  auto refuse = [&] { return HoldsValuesUnder(path) ? OpenedKey(path, result) : ERROR_ACCESS_DENIED; };
  RegistryFile file(true);
  if (!file.ready() || !file.exclusive()) return refuse();
  bool existed = FindRegistryKey(&file.document(), path) != nullptr;
  if (!existed) {
    AddRegistryKey(&file.document(), path);
    if (!file.Save()) return refuse();
  }
  if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  return OpenedKey(path, result);
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  OpenKey* open = KeyOf(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  std::string valueName = PortUtf8(name ? name : "");
  RegistryValue* value = FindHeldValue(open->path, valueName);
  if (!value) {
    RegistryFile file(false);
    if (!file.ready()) return ERROR_ACCESS_DENIED;
    RegistryKey* stored = FindRegistryKey(&file.document(), open->path);
    value = stored ? FindRegistryValue(stored, valueName) : nullptr;
  }
  if (!value) return ERROR_FILE_NOT_FOUND;
  std::vector<BYTE> bytes = value->wide ? InCodePage(value->data) : value->data;
  DWORD length = (DWORD)bytes.size();
  if (type) *type = value->type;
  if (data && *size < length) {
    *size = length;
    return ERROR_MORE_DATA;
  }
  if (data && length) std::memcpy(data, bytes.data(), length);
  if (size) *size = length;
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
  OpenKey* open = KeyOf(key);
  if (!open) return ERROR_INVALID_HANDLE;
  if (size && !data) return ERROR_INVALID_PARAMETER;
  // The file's format has no way to write a line break inside a name.
  std::string valueName = PortUtf8(name ? name : "");
  if (valueName.find_first_of("\r\n") != std::string::npos) return ERROR_INVALID_PARAMETER;
  RegistryValue value{valueName, type, std::vector<BYTE>(data, data + size)};
  if (RegistryValue* held = FindHeldValue(open->path, valueName)) {
    *held = value;
    return ERROR_SUCCESS;
  }
  RegistryFile file(true);
  if (!file.ready() || !file.exclusive()) return ERROR_ACCESS_DENIED;
  SetRegistryValue(AddRegistryKey(&file.document(), open->path), value);
  return file.Save() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

LSTATUS RegCloseKey(HKEY key) {
  OpenKey* open = KeyOf(key);
  if (!open) return ERROR_INVALID_HANDLE;
  RemoveHandle(keyHandles, (uintptr_t)key);
  delete open;
  return ERROR_SUCCESS;
}
