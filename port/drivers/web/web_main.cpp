// The process entry in a browser: the page runs the saver show, again and
// again, each time from the program's own entry, as if the system started the
// screen saver anew once the visitor has left the last one.
#include <cstdlib>
#include <string>
#include <vector>

#include "port_internal.h"
#include "web.h"

// The page's ?music= and ?mode= are a daemon's --music, --no-music and --mode,
// read by the same rules: held over the stored settings, never stored.
static void HoldPageChoices() {
  std::vector<std::string> words = {"glimmerz"};
  const char* music = std::getenv("GLIMMERZ_MUSIC");
  const char* mode = std::getenv("GLIMMERZ_MODE");
  if (music && std::string(music) == "0") words.push_back("--no-music");
  if (music && std::string(music) == "1") words.push_back("--music");
  if (mode) words.push_back(std::string("--mode=") + mode);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  HoldDaemonSettings(ReadDaemonOptions((int)argv.size(), argv.data(), nullptr));
}

int main() {
  WebListenToInput();
  HoldPageChoices();
  for (;;) {
    PortSetCommandLine("glimmerz.scr /s");
    char arguments[] = "/s";
    WinMain(PortProgramInstance(), nullptr, arguments, SW_SHOWNORMAL);
    PortExit();
    // A show that ended before its first frame could not start (the stored
    // display mode is none the port can draw, say) and would end so again at
    // once, for good: the page says so instead, and the program is done.
    if (!WebNoteShowEnded()) return 0;
  }
}
