// Values that hold for one run over the settings file: a daemon's options for
// the run it starts. Reads of them see the held value and the program's own
// writes change it for the run; the file never sees either, so the stored
// settings are what they were once the run is over.
#include "port_internal.h"
#include "registry.h"

namespace {
RegistryDocument held;
}  // namespace

void PortHoldSettings(const std::vector<PortHeldSetting>& settings) {
  held = RegistryDocument();
  for (const PortHeldSetting& setting : settings) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&setting.value);
    RegistryValue value{setting.name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(DWORD))};
    SetRegistryValue(AddRegistryKey(&held, "HKEY_CURRENT_USER\\" + setting.key), value);
  }
}

RegistryValue* FindHeldValue(const std::string& path, const std::string& name) {
  RegistryKey* key = FindRegistryKey(&held, path);
  return key ? FindRegistryValue(key, name) : nullptr;
}

bool HoldsValuesUnder(const std::string& path) { return FindRegistryKey(&held, path) != nullptr; }
