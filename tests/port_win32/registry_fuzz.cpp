// libFuzzer target: any bytes at all as the settings file. Whatever the parser
// keeps must come back unchanged when it is written out and read again, and the
// written text must be understood in full. Built with AddressSanitizer and
// UndefinedBehaviorSanitizer, so an unsafe read or write ends the run.
#include <cstdlib>

#include "win32/registry/registry.h"

static bool SameDocuments(const RegistryDocument& a, const RegistryDocument& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const RegistryKey& x = a.keys[k];
    const RegistryKey& y = b.keys[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v)
      if (x.values[v].name != y.values[v].name || x.values[v].type != y.values[v].type ||
          x.values[v].data != y.values[v].data)
        return false;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegistryDocument first;
  ParseRegistryText(std::string((const char*)data, size), &first);
  std::string written = FormatRegistryText(first);
  RegistryDocument second;
  if (!ParseRegistryText(written, &second)) std::abort();
  if (!SameDocuments(first, second)) std::abort();
  if (FormatRegistryText(second) != written) std::abort();
  return 0;
}
