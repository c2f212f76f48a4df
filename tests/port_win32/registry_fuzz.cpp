// libFuzzer target: any bytes at all as the settings file. Whatever the parser
// keeps must mean the same when it is written out and read again, and the
// written text must be understood in full; the same text in another encoding
// (iconv's: 8-bit or UTF-8 against UTF-16LE) must mean the same too. Built with
// AddressSanitizer and UndefinedBehaviorSanitizer, so an unsafe read or write
// ends the run.
#include <iconv.h>

#include <cstdlib>

#include "win32/registry/registry.h"

// The text in another encoding, or false where iconv finds it malformed.
static bool Convert(const char* from, const char* to, std::string text, std::string* out) {
  iconv_t converter = iconv_open(to, from);
  out->assign(text.size() * 4, '\0');
  char *in = &text[0], *next = &(*out)[0];
  size_t left = text.size(), room = out->size();
  bool whole = iconv(converter, &in, &left, &next, &room) != (size_t)-1;
  iconv_close(converter);
  out->resize(out->size() - room);
  return whole;
}

// Text types as the characters they hold (8-bit text is the program's Latin-1), others as bytes.
static std::string Meaning(const RegistryValue& value) {
  std::string bytes(value.data.begin(), value.data.end()), text;
  bool isText = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
  return isText && Convert(value.wide ? "UTF-16LE" : "LATIN1", "UTF-32LE", bytes, &text) ? text : bytes;
}

static bool SameDocuments(const RegistryDocument& a, const RegistryDocument& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const RegistryKey& x = a.keys[k];
    const RegistryKey& y = b.keys[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v)
      if (x.values[v].name != y.values[v].name || x.values[v].type != y.values[v].type ||
          Meaning(x.values[v]) != Meaning(y.values[v]))
        return false;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text((const char*)data, size), other;
  RegistryDocument first;
  bool understood = ParseRegistryText(text, &first);
  std::string written = FormatRegistryText(first);
  RegistryDocument second;
  if (!ParseRegistryText(written, &second)) std::abort();
  if (!SameDocuments(first, second)) std::abort();
  if (FormatRegistryText(second) != written) std::abort();
  bool wide = text.compare(0, 2, "\xFF\xFE") == 0, utf8 = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  RegistryDocument third;
  if (Convert(wide   ? "UTF-16LE"
              : utf8 ? "UTF-8"
                     : "LATIN1",
              wide ? "UTF-8" : "UTF-16LE",
              text.substr(wide   ? 2
                          : utf8 ? 3
                                 : 0),
              &other) &&
      (ParseRegistryText((wide ? "\xEF\xBB\xBF" : "\xFF\xFE") + other, &third) != understood ||
       !SameDocuments(first, third)))
    std::abort();
  return 0;
}
