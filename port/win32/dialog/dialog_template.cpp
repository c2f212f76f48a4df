#include "dialog_template.h"

#include <strings.h>

namespace {
struct Reader {
  const BYTE* start;
  const BYTE* p;
  const BYTE* end;
  bool ok = true;

  WORD Word() {
    if (end - p < 2) {
      ok = false;
      return 0;
    }
    WORD w = (WORD)(p[0] | p[1] << 8);
    p += 2;
    return w;
  }
  DWORD Dword() {
    DWORD low = Word();
    return low | (DWORD)Word() << 16;
  }
  short Short() { return (short)Word(); }
  void AlignToDword() {
    size_t offset = (size_t)(p - start);
    size_t skip = (4 - offset % 4) % 4;
    if ((size_t)(end - p) < skip) {
      // The last control may end without padding.
      p = end;
      return;
    }
    p += skip;
  }
  std::string Text() {
    std::string text;
    for (WORD c = Word(); ok && c; c = Word()) text += (char)(c <= 0xFF ? c : '?');
    return text;
  }
  // A name that is either absent, a 16-bit number after 0xFFFF, or a string.
  std::string NameOrNumber(int* number) {
    *number = -1;
    if (end - p < 2) {
      ok = false;
      return "";
    }
    WORD first = (WORD)(p[0] | p[1] << 8);
    if (first == 0xFFFF) {
      Word();
      *number = Word();
      return "";
    }
    return Text();
  }
};

DialogControlKind KindOf(int atom, const std::string& name) {
  if (atom == 0x80 || strcasecmp(name.c_str(), "button") == 0) return ButtonControl;
  if (atom == 0x82 || strcasecmp(name.c_str(), "static") == 0) return StaticControl;
  if (atom == 0x85 || strcasecmp(name.c_str(), "combobox") == 0) return ComboBoxControl;
  return OtherControl;
}
}  // namespace

bool ReadDialogTemplate(const BYTE* data, DWORD size, DialogTemplate* out) {
  if (!data) return false;
  Reader r{data, data, data + size};
  *out = DialogTemplate();
  out->style = r.Dword();
  r.Dword();  // extended style
  int count = r.Word();
  out->x = r.Short();
  out->y = r.Short();
  out->width = r.Short();
  out->height = r.Short();
  // The extended form starts with version 1 and 0xFFFF where the style is.
  if (!r.ok || ((out->style & 0xFFFF) == 1 && out->style >> 16 == 0xFFFF)) return false;
  int number;
  r.NameOrNumber(&number);  // menu
  r.NameOrNumber(&number);  // window class
  out->caption = r.Text();
  if (out->style & DS_SETFONT) {
    out->pointSize = r.Word();
    out->font = r.Text();
  }
  for (int i = 0; i < count && r.ok; ++i) {
    r.AlignToDword();
    DialogControl c;
    c.style = r.Dword();
    r.Dword();  // extended style
    c.x = r.Short();
    c.y = r.Short();
    c.width = r.Short();
    c.height = r.Short();
    c.id = r.Short();
    int atom;
    std::string className = r.NameOrNumber(&atom);
    c.kind = KindOf(atom, className);
    int textNumber;
    c.text = r.NameOrNumber(&textNumber);
    // Creation data: a size that counts itself, then the bytes.
    WORD extra = r.Word();
    size_t skip = extra >= 2 ? extra - 2u : 0u;
    if (skip > (size_t)(r.end - r.p)) r.ok = false;
    if (r.ok) r.p += skip;
    if (r.ok) out->controls.push_back(c);
  }
  return r.ok;
}
