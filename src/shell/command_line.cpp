#include <cctype>

#include "shell/shell.h"

// Like atoi, but a number too large for 32 bits wraps modulo 2^32 instead of
// being undefined, so a handle's bits survive however the host printed them and
// both builds agree.
int32_t ParseWindowNumber(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + (uint32_t)(*text - '0');
  if (negative) value = 0u - value;
  return (int32_t)value;
}

static HWND WindowFromNumber(int32_t number) { return (HWND)(intptr_t)number; }

static const char* SkipSpacesAndColons(const char* p) {
  while (*p == ' ' || *p == ':') ++p;
  return p;
}

void ParseCommandLine() {
  const char* p = GetCommandLineA();
  // The program name: quoted up to the closing quote, or up to the first space.
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
  } else {
    while (*p && *p != ' ') ++p;
  }
  if (*p) ++p;
  while (*p == ' ') ++p;  // only spaces: a tab belongs to the switch

  shell.parentWindow = nullptr;
  if (!*p) {
    shell.mode = Configure;
    return;
  }
  if (*p == '-' || *p == '/') ++p;

  switch (std::tolower((unsigned char)*p)) {
    case 'p':
    case 'l':
      shell.parentWindow = WindowFromNumber(ParseWindowNumber(SkipSpacesAndColons(p + 1)));
      shell.mode = Preview;
      break;
    case 's':
      shell.mode = Saver;
      break;
    case 'c':
      p = SkipSpacesAndColons(p + 1);
      shell.parentWindow = *p ? WindowFromNumber(ParseWindowNumber(p)) : GetForegroundWindow();
      shell.mode = Configure;
      break;
    case 'a':
      shell.parentWindow = WindowFromNumber(ParseWindowNumber(SkipSpacesAndColons(p + 1)));
      shell.mode = ChangePassword;
      break;
    default:
      break;  // unknown switch: nothing runs
  }
}
