#include "shell/shell.h"

ShellState shell;

void ResetShellState(HINSTANCE instance) {
  shell.instance = instance;
  shell.mode = None;
  shell.parentWindow = nullptr;
  shell.closeRequested = 0;
  shell.checkingPassword = 0;
  // phaseElapsed is left alone: the first frame writes it before anyone reads it.
  shell.clock.graceStart = 0;
  shell.clock.phaseStart = 0;
  shell.clock.lastFrame = 0;
  shell.clock.frameDelta = 0;
  shell.showPhase = 0;
}
