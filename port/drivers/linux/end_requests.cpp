// When the Linux desktop wants the show ended.
#include "drivers/x11/x11.h"
#include "linux.h"

namespace {
bool endPosted = false;
}  // namespace

// The end of an unattended run, an ending signal, or the daemon's window gone:
// the show is asked to close as if a key was pressed, so it closes the
// ordinary way. A preview takes no keys and is closed as its host would close
// it. A signal that comes before the window stays pending for it.
void PortCheckEndRequests() {
  if (endPosted || portWindows.empty()) return;
  if (!PortRunLimitReached() && !PortEndingSignalTaken() && !PortDaemonWindowGone()) return;
  PortWindow* child = nullptr;
  for (PortWindow* w : portWindows) {
    if (!w->alive) continue;
    if (!w->parent) {
      PortPost(w, WM_KEYDOWN, VK_ESCAPE, PortMakeLParam(1, 1));
      endPosted = true;
      return;
    }
    if (!child) child = w;
  }
  if (child) {
    PortPost(child, WM_CLOSE, 0, 0);
    endPosted = true;
  }
}
