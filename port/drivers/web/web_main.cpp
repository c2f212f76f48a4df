// The process entry in a browser: the page runs the saver show, again and
// again, each time from the program's own entry, as if the system started the
// screen saver anew once the visitor has left the last one.
#include "port_internal.h"
#include "web.h"

int main() {
  WebListenToInput();
  for (;;) {
    PortSetCommandLine("glimmerz.scr /s");
    char arguments[] = "/s";
    WinMain(PortProgramInstance(), nullptr, arguments, SW_SHOWNORMAL);
    PortExit();
    WebNoteShowEnded();
  }
}
