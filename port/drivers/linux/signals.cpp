// Ending signals: a screen-saver daemon sends SIGTERM when the user comes back,
// and other idle managers stop `/s` the same way. The show must then close the
// way a key press closes it (music stopped, device released, nothing half
// written), not die in the middle of a frame. The handler only notes the signal
// and writes a byte to a pipe that every wait of the port watches; the message
// loops turn it into the close request. Once the program has closed, the
// process ends by the same signal, so its parent sees what it sees of every
// other program it stops. Someone who asks twice means it: the second signal
// ends the process at once.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "linux.h"

namespace {
int wakePipe[2] = {-1, -1};
volatile sig_atomic_t endingSignal = 0;

void EndNow(int number) {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(number, &action, nullptr);
  raise(number);
}

void NoteEndingSignal(int number) {
  if (endingSignal) {
    // Blocked while its handler runs, the signal takes effect as this returns.
    EndNow(number);
    return;
  }
  endingSignal = number;
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

bool PortEndingSignalTaken() { return endingSignal != 0; }

int PortEndingSignalFd() { return wakePipe[0]; }

void PortEndAsSignalled() {
  if (endingSignal) EndNow(endingSignal);
}
