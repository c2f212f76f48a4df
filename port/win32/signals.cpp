// Ending signals: a screen-saver daemon sends SIGTERM when the user comes back,
// and the show must then close the way a key press closes it (music stopped,
// device released), not die in the middle of a frame. The handler only writes a
// byte to a pipe; the message loop reads it. Someone who asks twice means it:
// the second signal ends the process at once.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "port_internal.h"

namespace {
int wakePipe[2] = {-1, -1};
volatile sig_atomic_t signalsSeen = 0;
bool taken = false;

void NoteEndingSignal(int) {
  if (signalsSeen++) _exit(0);
  int saved = errno;
  char byte = 1;
  ssize_t ignored = write(wakePipe[1], &byte, 1);
  (void)ignored;
  errno = saved;
}
}  // namespace

void PortCatchEndingSignals() {
  if (wakePipe[0] >= 0) return;
  if (pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
  struct sigaction action = {};
  action.sa_handler = NoteEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool PortEndingSignalTaken() {
  if (taken || wakePipe[0] < 0) return taken;
  char bytes[16];
  taken = read(wakePipe[0], bytes, sizeof bytes) > 0;
  return taken;
}
