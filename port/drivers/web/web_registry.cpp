// The registry in the page's localStorage: one entry holding the same text as
// Linux's settings.reg (the registry editor's export format, each character one
// byte of it), so a person can read it in the browser's tools and it imports on
// Windows. A page has one thread, so a session needs no lock. The page's
// ?music= and ?mode= choices (GLIMMERZ_MUSIC, GLIMMERZ_MODE) are seen by
// readers on top of what is stored and never written into it.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/registry/registry.h"

namespace {
const char* const SettingsKey = "HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz";

EM_JS(char*, ReadStoredText, (), {
  var text = null;
  try { text = window.localStorage.getItem("glimmerz.settings.reg"); } catch (e) {}
  if (text === null) return 0;
  var bytes = _malloc(text.length + 1);
  for (var i = 0; i < text.length; i++) HEAPU8[bytes + i] = text.charCodeAt(i) < 256 ? text.charCodeAt(i) : 63;
  HEAPU8[bytes + text.length] = 0;
  return bytes;
});

EM_JS(int, WriteStoredText, (const char* bytes, int length), {
  var text = "";
  for (var i = 0; i < length; i++) text += String.fromCharCode(HEAPU8[bytes + i]);
  try {
    window.localStorage.setItem("glimmerz.settings.reg", text);
    return 1;
  } catch (e) {
    return 0;
  }
});

RegistryDocument stored;
RegistryDocument view;

void SetDword(RegistryDocument* document, const char* name, unsigned long value) {
  RegistryValue v{name, REG_DWORD, std::vector<BYTE>(4)};
  for (int i = 0; i < 4; ++i) v.data[i] = (BYTE)(value >> (8 * i));
  SetRegistryValue(AddRegistryKey(document, SettingsKey), v);
}

// The page's choices, when they are whole numbers of the right shape.
void ApplyPageChoices(RegistryDocument* document) {
  const char* music = std::getenv("GLIMMERZ_MUSIC");
  if (music && (std::string(music) == "0" || std::string(music) == "1")) SetDword(document, "music", music[0] - '0');
  const char* mode = std::getenv("GLIMMERZ_MODE");
  unsigned long width, height, bpp;
  char end;
  if (mode && std::sscanf(mode, "%lux%lux%lu%c", &width, &height, &bpp, &end) == 3 && width && height && bpp &&
      width <= 8192 && height <= 8192 && bpp <= 32) {
    SetDword(document, "displaywidth", width);
    SetDword(document, "displayheight", height);
    SetDword(document, "displaybpp", bpp);
  }
}
}  // namespace

// Text that cannot be understood is kept as it was until the program writes:
// then everything that could be read is written back, as on Linux; the page
// has no place to set the original aside.
RegistryFile::RegistryFile(bool forWriting) : writing_(forWriting) {
  stored = RegistryDocument();
  char* text = ReadStoredText();
  if (text) {
    ParseRegistryText(text, &stored);
    std::free(text);
  }
  if (!forWriting) {
    view = stored;
    ApplyPageChoices(&view);
  }
  ready_ = true;
  exclusive_ = forWriting;
  lock_ = -1;  // one thread: nothing to lock
}

RegistryFile::~RegistryFile() {}

RegistryDocument& RegistryFile::document() { return writing_ ? stored : view; }

bool RegistryFile::Save() {
  std::string text = FormatRegistryText(stored);
  return WriteStoredText(text.data(), (int)text.size()) != 0;
}

void RegistryFile::Load() {}
