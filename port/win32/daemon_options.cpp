// The options a screen-saver daemon starts its display programs with. They are
// read before the program sees its command line: any of them makes the run the
// ordinary saver show, drawn where they say. Options the daemon may add that
// mean nothing here are passed over; Windows-style switches go to the program
// as they are. The music and the display mode may be given too: the daemon's
// own settings keep a program's options in its command line, so they hold for
// the run over the stored settings and are never stored.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port_internal.h"

namespace {
// "-root" and "--root" are the same option.
std::string OptionName(const char* argument) {
  if (argument[0] != '-') return "";
  return argument[1] == '-' ? std::string(argument + 1) : std::string(argument);
}

// The program's settings, as it keeps them.
const char SettingsKey[] = "Software\\Vantorel\\Glimmerz";

// "800x600x32": three decimal numbers of up to five digits joined by x.
bool ReadMode(const std::string& text, DWORD mode[3]) {
  const char* p = text.c_str();
  for (int part = 0; part < 3; ++part) {
    const char* start = p;
    DWORD number = 0;
    while (*p >= '0' && *p <= '9' && p - start < 5) number = number * 10 + (DWORD)(*p++ - '0');
    if (p == start || (*p >= '0' && *p <= '9')) return false;
    mode[part] = number;
    if (part < 2 && *p++ != 'x') return false;
  }
  return *p == '\0';
}

// The text as it can stand inside one line of a message: control characters
// become '?', and a long one is cut, never inside a UTF-8 character.
std::string OneLine(const std::string& text) {
  size_t cut = std::min<size_t>(text.size(), 40);
  while (cut > 0 && cut < text.size() && ((unsigned char)text[cut] & 0xC0) == 0x80) --cut;
  std::string line = text.substr(0, cut);
  for (char& c : line)
    if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
  return text.size() > line.size() ? line + "..." : line;
}
}  // namespace

// A window id as daemons write it: decimal, or hexadecimal after 0x. Anything
// else (signs, spaces, octal, more than 32 bits) names no window: 0.
unsigned long ReadWindowId(const char* text) {
  if (!text || !*text) return 0;
  int base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  if (!*text || !std::strchr(base == 16 ? "0123456789abcdefABCDEF" : "0123456789", *text)) return 0;
  char* end;
  errno = 0;
  unsigned long long id = std::strtoull(text, &end, base);
  if (*end || errno || id > 0xFFFFFFFFull) return 0;
  return (unsigned long)id;
}

DaemonOptions ReadDaemonOptions(int argc, char** argv, const char* daemonWindow) {
  DaemonOptions options;
  bool root = false, given = false, own = false;
  for (int i = 1; i < argc; ++i) {
    std::string name = OptionName(argv[i]);
    // An option's value is the next word, or what follows '=' in its own.
    size_t equals = name.find('=');
    bool attached = equals != std::string::npos;
    std::string value = attached ? name.substr(equals + 1) : "";
    name = name.substr(0, equals);
    if (name == "-mode" || name == "-window-id") {
      if (!attached && i + 1 < argc) value = argv[++i];
    } else if (attached) {
      continue;
    }
    if (name == "-help")
      options.help = true;
    else if (name == "-version")
      options.version = true;
    else if (name == "-root")
      root = true;
    else if (name == "-window")
      own = true;
    else if (name == "-music")
      options.music = 1;
    else if (name == "-no-music")
      options.music = 0;
    else if (name == "-mode") {
      options.modeGiven = true;
      options.mode = value;
    } else if (name == "-window-id") {
      given = true;
      options.host = ReadWindowId(value.c_str());
    } else
      continue;
    options.recognised = true;
  }
  if (given)
    options.window = PortSaverPlace::Host;
  else if (root) {
    options.window = PortSaverPlace::Host;
    // Without a daemon's window, --root means the screen itself.
    options.onRootWindow = !daemonWindow;
    options.host = daemonWindow ? ReadWindowId(daemonWindow) : 0;
  } else if (own)
    options.window = PortSaverPlace::Own;
  return options;
}

std::string HoldDaemonSettings(const DaemonOptions& options) {
  std::vector<PortHeldSetting> held;
  if (options.music >= 0) held.push_back({SettingsKey, "music", (DWORD)options.music});
  std::string complaint;
  DWORD mode[3];
  if (options.modeGiven && ReadMode(options.mode, mode) && PortOffersDisplayMode(mode[0], mode[1], mode[2])) {
    held.push_back({SettingsKey, "displaywidth", mode[0]});
    held.push_back({SettingsKey, "displayheight", mode[1]});
    held.push_back({SettingsKey, "displaybpp", mode[2]});
  } else if (options.modeGiven) {
    complaint = "glimmerz: --mode \"" + OneLine(options.mode) +
                "\" is not a display mode offered here (640x480 up to the screen's size, at 16 or 32 bits); "
                "the stored one is used\n";
  }
  PortHoldSettings(held);
  return complaint;
}

std::string UsageText() {
  return "Usage: glimmerz [switch]\n"
         "Windows-style switches:\n"
         "  /s            run the show full screen (every output of a Wayland session)\n"
         "  /c            settings (also with no switch)\n"
         "  /p N          preview inside the window with X11 id N (X11 only)\n"
         "Screen-saver daemon options (they run the show):\n"
         "  --root        draw on the window in $XSCREENSAVER_WINDOW, else on the screen (X11 only)\n"
         "  --window-id N draw on the X11 window N (decimal, or hexadecimal after 0x; X11 only)\n"
         "  --window      draw in a window of its own, for trying it out\n"
         "  --no-music, --music\n"
         "                without the tune, or with it, this time\n"
         "  --mode WxHxBPP\n"
         "                draw at this display mode this time, one the options dialog offers\n"
         "                (e.g. 800x600x32)\n"
         "  --help        print this and exit\n"
         "  --version     print the version and exit\n"
         "--no-music, --music and --mode hold for the one run; the stored settings are kept.\n"
         "On a daemon's window input does not end the show; SIGTERM, SIGINT and SIGHUP do.\n";
}

std::string VersionText() { return "glimmerz " GLIMMERZ_VERSION "\n"; }
