// The registry file's text: the registry editor's export format, so a person can
// read and edit it and Windows can import it unchanged.
#pragma once

#include <string>
#include <vector>

#include "win32.h"

struct RegistryValue {
  std::string name;  // "@" names a key's default value
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct RegistryKey {
  std::string path;  // e.g. HKEY_CURRENT_USER\Software\...
  std::vector<RegistryValue> values;
};

struct RegistryDocument {
  std::vector<RegistryKey> keys;
};

// Reads what it can. Returns false when any part of the text could not be
// understood (the document then holds every part that could).
bool ParseRegistryText(const std::string& text, RegistryDocument* document);
std::string FormatRegistryText(const RegistryDocument& document);

// Names compare without regard to case, as the registry does.
RegistryKey* FindRegistryKey(RegistryDocument* document, const std::string& path);
RegistryValue* FindRegistryValue(RegistryKey* key, const std::string& name);
