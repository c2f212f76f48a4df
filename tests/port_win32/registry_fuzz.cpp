// libFuzzer target: any bytes at all as the settings file. Whatever the parser
// keeps must come back unchanged when it is written out and read again, and the
// written text must be understood in full. The same text in another encoding
// (iconv's, 8-bit or UTF-8 against UTF-16LE) must mean the same: the same names
// and, for text, the same characters, so text encoded twice on its way is
// caught. Built with AddressSanitizer and UndefinedBehaviorSanitizer, so an
// unsafe read or write ends the run.
#include <iconv.h>

#include <cstdlib>

#include "win32/registry/registry.h"

// The text in another encoding, or false where iconv finds it malformed.
static bool Convert(const char* from, const char* to, std::string text, std::string* out) {
  iconv_t converter = iconv_open(to, from);
  std::string buffer(text.size() * 4 + 4, '\0');
  char *in = &text[0], *next = &buffer[0];
  size_t left = text.size(), room = buffer.size();
  bool whole = iconv(converter, &in, &left, &next, &room) != (size_t)-1 && left == 0;
  iconv_close(converter);
  out->assign(&buffer[0], next);
  return whole;
}

// Text as the characters it holds (8-bit text is the program's Latin-1), else the bytes.
static std::string Meaning(const RegistryValue& value) {
  std::string bytes(value.data.begin(), value.data.end()), characters;
  bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
  if (text && Convert(value.wide ? "UTF-16LE" : "LATIN1", "UTF-32LE", bytes, &characters)) return characters;
  return bytes;
}

static bool SameDocuments(const RegistryDocument& a, const RegistryDocument& b, bool byMeaning) {
  if (a.keys.size() != b.keys.size()) return false;
  for (size_t k = 0; k < a.keys.size(); ++k) {
    const RegistryKey& x = a.keys[k];
    const RegistryKey& y = b.keys[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (size_t v = 0; v < x.values.size(); ++v)
      if (x.values[v].name != y.values[v].name || x.values[v].type != y.values[v].type ||
          (byMeaning ? Meaning(x.values[v]) != Meaning(y.values[v]) : x.values[v].data != y.values[v].data))
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
  if (!SameDocuments(first, second, false)) std::abort();
  if (FormatRegistryText(second) != written) std::abort();

  bool converted = text.compare(0, 2, "\xFF\xFE") == 0   ? Convert("UTF-16LE", "UTF-8", text.substr(2), &other)
                   : text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? Convert("UTF-8", "UTF-16LE", text.substr(3), &other)
                                                             : Convert("LATIN1", "UTF-16LE", text, &other);
  if (!converted) return 0;
  other = (text.compare(0, 2, "\xFF\xFE") == 0 ? "\xEF\xBB\xBF" : "\xFF\xFE") + other;
  RegistryDocument third;
  if (ParseRegistryText(other, &third) != understood || !SameDocuments(first, third, true)) std::abort();
  return 0;
}
