// The registry's room of the Win32 family: one text file per user that holds
// the keys (the Reg calls of win32.h, registry.cpp). Its text is the registry
// editor's export format, so a person can read and edit it and Windows can
// import it unchanged (registry_text.cpp); in memory it is a document of keys
// and values (registry_document.cpp).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "win32/win32.h"

struct RegistryValue {
  std::string name;  // UTF-8, like every name and path; empty for a key's default value, written @=
  DWORD type = REG_NONE;
  std::vector<BYTE> data;  // strings in the program's 8-bit code page
  bool wide = false;       // a string kept as the file's UTF-16LE: text that 8 bits cannot hold
};

// Keys and values keep the order they were read or made in; the indexes find
// them by name without regard to case, as the registry compares names.
struct RegistryKey {
  std::string path;  // e.g. HKEY_CURRENT_USER\Software\...
  std::vector<RegistryValue> values;
  std::unordered_map<std::string, size_t> index;
};

struct RegistryDocument {
  std::vector<RegistryKey> keys;
  std::unordered_map<std::string, size_t> index;
};

// Reads what it can, applying the deletion forms [-key] and "name"=- to what
// came before them. Returns false when any part of the text could not be
// understood (the document then holds every part that could). The 8-bit form
// (Latin-1) is read, and UTF-16LE or UTF-8 after a byte-order mark.
bool ParseRegistryText(const std::string& text, RegistryDocument* document);
// The 8-bit form with CRLF line ends; UTF-16LE after a byte-order mark when a
// name holds a character the 8-bit form does not have.
std::string FormatRegistryText(const RegistryDocument& document);

RegistryKey* FindRegistryKey(RegistryDocument* document, const std::string& path);
RegistryValue* FindRegistryValue(RegistryKey* key, const std::string& name);
// Finds the key, or adds it at the end.
RegistryKey* AddRegistryKey(RegistryDocument* document, const std::string& path);
// Replaces the value of that name in place, or adds it at the end.
void SetRegistryValue(RegistryKey* key, const RegistryValue& value);
// Removes the key and every key below it.
void DeleteRegistryKey(RegistryDocument* document, const std::string& path);
void DeleteRegistryValue(RegistryKey* key, const std::string& name);

// The value held for this run under that key path and name (held_values.cpp),
// or null; and whether any is held under the key.
RegistryValue* FindHeldValue(const std::string& path, const std::string& name);
bool HoldsValuesUnder(const std::string& path);

// One session on the stored keys, for reading or for writing: loads on entry,
// saves when asked, lets go on exit. Linux keeps them in a file under an
// advisory lock (registry_file.cpp); a browser in the page's storage.
class RegistryFile {
 public:
  explicit RegistryFile(bool forWriting);
  ~RegistryFile();
  RegistryFile(const RegistryFile&) = delete;
  RegistryFile& operator=(const RegistryFile&) = delete;
  bool ready() const { return ready_; }
  // True when this session alone may change the store.
  bool exclusive() const { return exclusive_; }
  RegistryDocument& document();
  bool Save();

 private:
  void Load();
  std::string folder_;
  std::string file_;
  bool writing_;
  int lock_ = -1;
  bool ready_ = false;
  bool exclusive_ = false;
};
