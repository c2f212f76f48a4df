// A dialog template as the resource compiler stores it (the standard, not the
// extended, form), read into plain records. Sizes and positions are in dialog
// units, which depend on the template's font.
#pragma once

#include <string>
#include <vector>

#include "win32/win32.h"

enum DialogControlKind { ButtonControl, StaticControl, ComboBoxControl, OtherControl };

struct DialogControl {
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int id = -1;
  DialogControlKind kind = OtherControl;
  std::string text;  // Latin-1, as the program's ANSI code page
};

struct DialogTemplate {
  DWORD style = 0;
  int x = 0, y = 0, width = 0, height = 0;
  std::string caption;
  int pointSize = 0;
  std::string font;
  std::vector<DialogControl> controls;
};

// False when the bytes are no complete standard template.
bool ReadDialogTemplate(const BYTE* data, DWORD size, DialogTemplate* out);

#define DS_SETFONT 0x40L
#define BS_TYPEMASK 0xFL
#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_CHECKBOX 0x2L
#define BS_AUTOCHECKBOX 0x3L
#define BS_GROUPBOX 0x7L
#define CBS_SORT 0x100L
#define WS_DISABLED 0x08000000L
#define WS_TABSTOP 0x00010000L
