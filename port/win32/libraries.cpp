// Libraries loaded at run time. DirectDraw is part of the port, so its library
// is always there; none of the Windows password libraries exist here, and the
// program's own fallbacks run when they are missing.
#include <strings.h>

#include <cstring>

#include "directx/directx.h"
#include "port_internal.h"

namespace {
char directDrawLibrary;

HMODULE DirectDrawModule() { return reinterpret_cast<HMODULE>(&directDrawLibrary); }
}  // namespace

HMODULE LoadLibraryA(LPCSTR name) {
  if (name && (strcasecmp(name, "DDRAW.DLL") == 0 || strcasecmp(name, "DDRAW") == 0)) return DirectDrawModule();
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (module != DirectDrawModule() || (uintptr_t)name <= 0xFFFF) return nullptr;
  if (std::strcmp(name, "DirectDrawEnumerateA") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&DirectDrawEnumerateA));
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) { return module == DirectDrawModule(); }
