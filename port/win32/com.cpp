// COM start and stop, and the classes the port can create.
#include "port_internal.h"

static int comUsers = 0;

HRESULT CoInitialize(LPVOID) { return comUsers++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize() {
  if (comUsers > 0) --comUsers;
}

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD, REFIID iid, LPVOID* object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (comUsers == 0) return CO_E_NOTINITIALIZED;
  if (outer) return E_INVALIDARG;  // no class here supports aggregation
  for (int i = 0; i < portComClassCount; ++i)
    if (*portComClasses[i].clsid == clsid) return portComClasses[i].create(iid, object);
  return REGDB_E_CLASSNOTREG;
}
