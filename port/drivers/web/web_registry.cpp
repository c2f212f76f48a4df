// The registry in the page's localStorage: one entry holding the same text as
// Linux's settings.reg (the registry editor's export format), so a person can
// read it in the browser's tools and it imports on Windows. The stored string
// reaches the parser whole, as the UTF-16 text it is, and comes back with every
// character it can hold. A page has one thread, so a session needs no lock.
// The page's ?music= and ?mode= choices are held over the stored values for
// the visit (web_main.cpp), as a daemon's options are, never written into it.
#include <emscripten.h>

#include <cstdlib>
#include <string>

#include "win32/registry/registry.h"

namespace {
// UTF-16LE after a byte-order mark, a NUL in it like any other character.
// The JavaScript inside EM_JS is no C++, and keeps its own layout.
// clang-format off
EM_JS(char*, ReadStoredText, (int* length), {
  var text = null;
  try { text = window.localStorage.getItem("glimmerz.settings.reg"); } catch (e) {}
  if (text === null) return 0;
  if (text.charCodeAt(0) === 0xFEFF) text = text.substring(1);
  var bytes = _malloc(2 * text.length + 2);
  HEAPU8[bytes] = 0xFF;
  HEAPU8[bytes + 1] = 0xFE;
  for (var i = 0; i < text.length; i++) HEAPU16[(bytes >> 1) + 1 + i] = text.charCodeAt(i);
  HEAP32[length >> 2] = 2 * text.length + 2;
  return bytes;
});
// clang-format on

// The written form, 8-bit or UTF-16LE after a byte-order mark, as a string.
// clang-format off
EM_JS(int, WriteStoredText, (const unsigned char* bytes, int length), {
  var wide = length >= 2 && HEAPU8[bytes] === 0xFF && HEAPU8[bytes + 1] === 0xFE;
  var text = "";
  for (var i = wide ? 2 : 0; i < length; i += wide ? 2 : 1)
    text += String.fromCharCode(HEAPU8[bytes + i] | (wide ? HEAPU8[bytes + i + 1] << 8 : 0));
  try {
    window.localStorage.setItem("glimmerz.settings.reg", text);
    return 1;
  } catch (e) {
    return 0;
  }
});
// clang-format on

RegistryDocument stored;
}  // namespace

// Text that cannot be understood is kept as it was until the program writes:
// then everything that could be read is written back, as on Linux; the page
// has no place to set the original aside.
RegistryFile::RegistryFile(bool forWriting) : writing_(forWriting) {
  stored = RegistryDocument();
  int length = 0;
  if (char* text = ReadStoredText(&length)) {
    ParseRegistryText(std::string(text, (size_t)length), &stored);
    std::free(text);
  }
  ready_ = true;
  exclusive_ = writing_;
  lock_ = -1;  // one thread: nothing to lock
}

RegistryFile::~RegistryFile() {}

RegistryDocument& RegistryFile::document() { return stored; }

bool RegistryFile::Save() {
  std::string text = FormatRegistryText(stored);
  return WriteStoredText((const unsigned char*)text.data(), (int)text.size()) != 0;
}

void RegistryFile::Load() {}
