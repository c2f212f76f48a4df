// What the port's service families share among themselves (the window behind a
// handle, its GL context, the COM class table, the process's start and end);
// never seen by the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "win32/win32.h"

// Handle tables (handles.cpp): windows and dialogs share one, registry keys
// have their own.
enum class HandleKind : uint8_t { Free, Window, Dialog, Key };
struct HandleEntry {
  HandleKind kind = HandleKind::Free;
  uint16_t generation = 0;
  void* object = nullptr;
};
struct HandleTable {
  bool keys;  // the registry keys' table, whose handles differ from the windows' ones
  std::vector<HandleEntry> entries;
};
// A new handle for the object, 0 when the table is full.
uintptr_t AddHandle(HandleTable& table, HandleKind kind, void* object);
// The object of a live handle of that kind, else null.
void* FindHandle(const HandleTable& table, uintptr_t handle, HandleKind kind);
// The handle names nothing from now on, even once its entry is taken again.
void RemoveHandle(HandleTable& table, uintptr_t handle);
// A window handle that is none of the port's: another program's X11 window id.
bool IsForeignWindow(HWND window);

// Appends a code point as UTF-8: the registry file's UTF-16 form and the
// program's Latin-1 texts both become it on the way in.
inline void AppendUtf8(std::string* out, unsigned c) {
  if (c < 0x80) {
    *out += (char)c;
    return;
  }
  int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  *out += (char)((0xFF00 >> (extra + 1)) | c >> (6 * extra));  // 110, 1110 or 11110 first
  for (int i = extra - 1; i >= 0; --i) *out += (char)(0x80 | (c >> (6 * i) & 0x3F));
}

// The code point of the UTF-8 sequence at text[*i], moving *i past it. A byte
// that begins no well-formed sequence stands for its Latin-1 character and
// clears *wellFormed.
inline unsigned PortNextCodePoint(const std::string& text, size_t* i, bool* wellFormed = nullptr) {
  unsigned lead = (unsigned char)text[(*i)++];
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF8 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  unsigned c = extra > 0 ? lead & (0x3Fu >> extra) : 0;
  size_t end = *i;
  for (int k = 0; k < extra; ++k, ++end) {
    if (end >= text.size() || ((unsigned char)text[end] & 0xC0) != 0x80)
      extra = -1;
    else
      c = c << 6 | ((unsigned char)text[end] & 0x3F);
  }
  const unsigned least[] = {0, 0x80, 0x800, 0x10000};
  if (extra < 0 || c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
    if (wellFormed) *wellFormed = false;
    return lead;
  }
  *i = end;
  return c;
}

// A system's UTF-8 text (a monitor's name, say) in the program's ANSI code
// page: '?' for what Latin-1 lacks, as Windows converts.
inline std::string PortLatin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned c = PortNextCodePoint(utf8, &i);
    out += c > 0xFF ? '?' : (char)c;
  }
  return out;
}

// Texts of the program's ANSI code page (Latin-1) as UTF-8, the form GTK and
// the registry's names take.
inline std::string PortUtf8(const std::string& latin1) {
  std::string out;
  for (unsigned char c : latin1) AppendUtf8(&out, c);
  return out;
}

// True for a window DirectDraw can show pictures in: a top-level window of the
// port's own (an SDL window on Linux, the page's canvas in a browser).
bool PortWindowHoldsPictures(HWND window);
// The window's OpenGL context, made on first use and current afterwards; null
// when the window has none and cannot get one.
void* PortGlContext(HWND window);
// The size of the window's picture area in pixels, as the system sees it now.
bool PortWindowSize(HWND window, int* width, int* height);
// False for a window whose place and size are not the program's to set: one a
// daemon handed over, which the daemon places, or one the user is trying the
// show in, which keeps the size the user gave it.
bool PortWindowPlacedByProgram(HWND window);

// Called by Flip each time a picture reaches the screen: drives the virtual
// clock and the run-time limit.
void PortNoteFramePresented();
// The clock (timer.cpp): what timeGetTime reads, without counting as a read of
// a busy wait; and real monotonic milliseconds, for waits.
DWORD PortClockReading();
uint64_t PortRealMs();
// While held, the clock stands still: the page keeps the show at its first
// frame until the visitor starts it, and that wait is no show time.
void PortHoldClock(bool hold);

// COM classes the port can create: one entry per class, see win32/com_classes.cpp.
struct PortComClass {
  const CLSID* clsid;
  HRESULT (*create)(REFIID iid, void** object);
};
extern const PortComClass portComClasses[];
extern const int portComClassCount;

// The embedded resource file.
extern const unsigned char glimmerzResStart[];
extern const unsigned char glimmerzResEnd[];

// The command line as GetCommandLineA returns it, made from main's arguments.
void PortSetCommandLine(const char* line);
std::string PortCommandLine(int argc, char** argv);
std::string PortJoinArguments(int argc, char** argv);
// The program's own module handle (resources are looked up in it).
HINSTANCE PortProgramInstance();
// Releases what the port holds (windows, SDL) before the process ends.
void PortExit();
// True once GLIMMERZ_RUN_MS has passed since the show's first frame.
bool PortRunLimitReached();

// The program's settings folder ($XDG_CONFIG_HOME/glimmerz or ~/.config/glimmerz),
// and making it (and the folders above it) private to the user when missing.
std::string PortConfigFolder();
bool PortMakeFolders(const std::string& folder);

// Settings that hold for this run over the settings file, each a DWORD under a
// key below HKEY_CURRENT_USER: the key's reads see them, the program's writes
// to them last for the run only, and the file never sees them (held_values.cpp).
// Each call replaces what was held before; an empty list holds nothing.
struct PortHeldSetting {
  std::string key;
  std::string name;
  DWORD value;
};
void PortHoldSettings(const std::vector<PortHeldSetting>& settings);

// True when some board offers the display mode in the options dialog's list
// (displays.cpp).
bool PortOffersDisplayMode(DWORD width, DWORD height, DWORD bpp);

// Where the saver window goes when a screen-saver daemon runs the show: on a
// window the daemon (or its settings program's preview pane) made, given by
// its X11 id, or on an ordinary window of the process's own for trying it out.
// Input never closes a show on a host's window: the daemon owns the input
// (daemon_window.cpp).
enum class PortSaverPlace { Ordinary, Host, Own };
void PortSetSaverPlace(PortSaverPlace kind, unsigned long host);
PortSaverPlace PortChosenSaverPlace();
unsigned long PortSaverHost();

// A screen-saver daemon's options on main's command line, which the page's
// query takes too (daemon_options.cpp).
struct DaemonOptions {
  bool recognised = false;  // any of them: the run is the saver show
  bool help = false;
  bool version = false;
  PortSaverPlace window = PortSaverPlace::Ordinary;
  unsigned long host = 0;     // with Host: the window, 0 when the id named none
  bool onRootWindow = false;  // with Host: the screen's root window instead
  int music = -1;             // 1 or 0 for this run; -1 leaves it to the settings
  bool modeGiven = false;
  std::string mode;  // the display mode for this run as given, WxHxBPP
};
DaemonOptions ReadDaemonOptions(int argc, char** argv, const char* daemonWindow);
// Holds the options' music and display mode over the settings for this run;
// returns the one line that names a display mode not offered (whose setting is
// then left to the settings), else nothing.
std::string HoldDaemonSettings(const DaemonOptions& options);
unsigned long ReadWindowId(const char* text);
std::string UsageText();
std::string VersionText();
