// libFuzzer target: any bytes as a command line, its words split at NULs. As a
// daemon's options "--name=value" must mean what "--name value" means, and a
// display mode is held for the run just when its text (read by std::regex)
// names an offered one; the program then reads the line Windows would show.
#include <regex>
#include <tuple>

#include "port_internal.h"
#include "shell/shell.h"

// What the port would hold, and a 4096x4096 screen's modes.
static std::vector<PortHeldSetting> held;
void PortHoldSettings(const std::vector<PortHeldSetting>& settings) { held = settings; }
bool PortOffersDisplayMode(DWORD w, DWORD h, DWORD bpp) {
  return w >= 640 && h >= 480 && w <= 4096 && h <= 4096 && (bpp == 16 || bpp == 32);
}
static std::string line;
LPSTR GetCommandLineA() { return &line[0]; }
HWND GetForegroundWindow() { return nullptr; }

static auto Read(std::vector<std::string> words, DaemonOptions* o) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  line = PortCommandLine((int)argv.size(), argv.data());
  *o = ReadDaemonOptions((int)argv.size(), argv.data(), "0x600003");
  return std::tie(o->recognised, o->help, o->version, o->window, o->host, o->onRootWindow, o->music, o->mode);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::regex valueOption("--?(mode|window-id)"), mode("([0-9]{1,5})x([0-9]{1,5})x([0-9]{1,5})");
  std::string text((const char*)data, size);
  std::vector<std::string> words = {"glimmerz"}, attached = {"glimmerz"};
  for (size_t start = 0, end = 0; start <= text.size(); start = end + 1)
    words.push_back(text.substr(start, (end = std::min(text.find('\0', start), text.size())) - start));
  for (size_t i = 1; i < words.size(); ++i) {
    bool takesValue = i + 1 < words.size() && std::regex_match(words[i], valueOption);
    attached.push_back(takesValue ? words[i] + "=" + words[i + 1] : words[i]);
    i += takesValue;
  }
  DaemonOptions joined, options;
  if (Read(attached, &joined) != Read(words, &options) || joined.modeGiven != options.modeGiven) std::abort();
  ParseCommandLine();
  std::smatch n;
  bool offered = std::regex_match(options.mode, n, mode) &&
                 PortOffersDisplayMode(std::stoul(n[1]), std::stoul(n[2]), std::stoul(n[3]));
  if (HoldDaemonSettings(options).empty() != (offered || !options.modeGiven)) std::abort();
  for (int k = 0; offered && k < 3; ++k)
    if (held[held.size() - 3 + k].value != std::stoul(n[k + 1])) std::abort();
  return 0;
}
