// Resource access over the embedded .res file (the format windres writes: one
// header per resource, each naming its type and id, data aligned to 4 bytes).
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "port_internal.h"

namespace {
struct ResourceName {
  bool isNumber = true;
  WORD number = 0;
  std::string text;  // upper case, for names given as strings
};

struct Resource {
  ResourceName type;
  ResourceName name;
  const BYTE* data;
  DWORD size;
};

std::vector<Resource> resources;
bool parsed = false;

DWORD ReadDword(const BYTE* p) { return p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24; }
WORD ReadWord(const BYTE* p) { return (WORD)(p[0] | p[1] << 8); }

// Reads a type or name field; false when it runs past limit.
bool ReadName(const BYTE*& p, const BYTE* limit, ResourceName* out) {
  if (limit - p < 4) return false;
  if (ReadWord(p) == 0xFFFF) {
    out->number = ReadWord(p + 2);
    p += 4;
    return true;
  }
  out->isNumber = false;
  for (; limit - p >= 2; p += 2) {
    WORD c = ReadWord(p);
    if (!c) {
      p += 2;
      return true;
    }
    out->text += (char)std::toupper(c < 0x80 ? (int)c : '?');
  }
  return false;
}

void ParseResources() {
  parsed = true;
  const BYTE* p = glimmerzResStart;
  const BYTE* end = glimmerzResEnd;
  while (end - p >= 8) {
    DWORD dataSize = ReadDword(p);
    DWORD headerSize = ReadDword(p + 4);
    if (headerSize < 8 || headerSize > (DWORD)(end - p) || dataSize > (DWORD)(end - p) - headerSize) return;
    const BYTE* field = p + 8;
    Resource r;
    if (!ReadName(field, p + headerSize, &r.type) || !ReadName(field, p + headerSize, &r.name)) return;
    r.data = p + headerSize;
    r.size = dataSize;
    if (dataSize > 0) resources.push_back(r);  // the leading empty entry marks the format
    size_t next = ((size_t)headerSize + dataSize + 3) & ~(size_t)3;
    if (next >= (size_t)(end - p)) return;
    p += next;
  }
}

bool Matches(const ResourceName& stored, LPCSTR wanted) {
  uintptr_t value = (uintptr_t)wanted;
  if (value <= 0xFFFF) return stored.isNumber && stored.number == value;
  if (wanted[0] == '#') return stored.isNumber && stored.number == (WORD)std::atoi(wanted + 1);
  if (stored.isNumber) return false;
  std::string upper = wanted;
  for (auto& c : upper) c = (char)std::toupper((unsigned char)c);
  return stored.text == upper;
}

const Resource* Find(LPCSTR name, LPCSTR type) {
  if (!parsed) ParseResources();
  for (const Resource& r : resources)
    if (Matches(r.type, type) && Matches(r.name, name)) return &r;
  return nullptr;
}
}  // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (module && module != PortProgramInstance()) return nullptr;
  if (!name || !type) return nullptr;
  return (HRSRC)Find(name, type);
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  return resource ? (HGLOBAL)((const Resource*)resource)->data : nullptr;
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE, HRSRC resource) { return resource ? ((const Resource*)resource)->size : 0; }

// Strings live sixteen to a block; block n + 1 holds ids 16n to 16n + 15, each a
// length-prefixed UTF-16 string. They come out in the ANSI code page (Latin-1).
int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int bufferSize) {
  if (!buffer || bufferSize <= 0) return 0;
  buffer[0] = 0;
  const Resource* block = Find(MAKEINTRESOURCEA((id >> 4) + 1), RT_STRING);
  if (!block) return 0;
  const BYTE* p = block->data;
  const BYTE* end = p + block->size;
  for (UINT i = 0; i < (id & 15); ++i) {
    if (end - p < 2) return 0;
    size_t skip = 2 + 2 * (size_t)ReadWord(p);
    if ((size_t)(end - p) < skip) return 0;
    p += skip;
  }
  if (end - p < 2) return 0;
  int length = ReadWord(p);
  p += 2;
  if ((end - p) / 2 < length) length = (int)((end - p) / 2);
  if (length > bufferSize - 1) length = bufferSize - 1;
  for (int i = 0; i < length; ++i) {
    WORD c = ReadWord(p + 2 * i);
    buffer[i] = (char)(c <= 0xFF ? c : '?');
  }
  buffer[length] = 0;
  return length;
}
