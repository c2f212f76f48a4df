// libFuzzer target: any bytes as a command line, its words split at NULs. As a
// screen-saver daemon's options, "--name=value" must mean what "--name value"
// means, a display mode held for the run must be the one its text spells (read
// here by std::regex), and a complaint must be one printable line. The line as
// Windows shows it must be safe for the program's own reading of its switch.
#include <cstdlib>
#include <regex>

#include "port_internal.h"
#include "shell/shell.h"

// What the port would hold for the run, and the modes a screen of 4096x4096 offers.
static std::vector<PortHeldSetting> held;
void PortHoldSettings(const std::vector<PortHeldSetting>& settings) { held = settings; }
bool PortOffersDisplayMode(DWORD width, DWORD height, DWORD bpp) {
  return width >= 640 && height >= 480 && width <= 4096 && height <= 4096 && (bpp == 16 || bpp == 32);
}
static std::string line;
LPSTR GetCommandLineA() { return &line[0]; }
HWND GetForegroundWindow() { return nullptr; }

static DaemonOptions Read(std::vector<std::string> words) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  return ReadDaemonOptions((int)argv.size(), argv.data(), "0x600003");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text((const char*)data, size);
  std::vector<std::string> words = {"glimmerz"}, attached = {"glimmerz"};
  for (size_t start = 0, end; start <= text.size(); start = end + 1) {
    end = std::min(text.find('\0', start), text.size());
    words.push_back(text.substr(start, end - start));
  }
  for (size_t i = 1; i < words.size(); ++i) {
    static const std::regex valueOption("--?(mode|window-id)");
    bool takesValue = std::regex_match(words[i], valueOption) && i + 1 < words.size();
    attached.push_back(takesValue ? words[i] + "=" + words[i + 1] : words[i]);
    i += takesValue;
  }
  DaemonOptions a = Read(words), b = Read(attached);
  if (a.recognised != b.recognised || a.window != b.window || a.host != b.host || a.onRootWindow != b.onRootWindow ||
      a.music != b.music || a.modeGiven != b.modeGiven || a.mode != b.mode || a.help != b.help || a.version != b.version)
    std::abort();

  std::string complaint = HoldDaemonSettings(a);
  static const std::regex modeText("([0-9]{1,5})x([0-9]{1,5})x([0-9]{1,5})");
  std::smatch mode;
  bool offered = std::regex_match(a.mode, mode, modeText) &&
                 PortOffersDisplayMode(std::stoul(mode[1]), std::stoul(mode[2]), std::stoul(mode[3]));
  if (a.modeGiven && complaint.empty() != offered) std::abort();
  for (int k = 0; a.modeGiven && offered && k < 3; ++k)
    if (held[held.size() - 3 + k].value != std::stoul(mode[k + 1])) std::abort();
  for (size_t i = 0; i < complaint.size(); ++i)
    if ((unsigned char)complaint[i] < 0x20 && !(complaint[i] == '\n' && i + 1 == complaint.size())) std::abort();

  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  line = PortCommandLine((int)argv.size(), argv.data());
  ParseCommandLine();
  return 0;
}
