#include "settings/settings.h"
#include "shell/shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ResetShellState(instance);
  if (FAILED(CoInitialize(nullptr))) return -1;
  ParseCommandLine();
  switch (shell.mode) {
    case Configure:
      ShowConfigDialog(shell.instance, shell.parentWindow);
      break;
    case ChangePassword:
      RunPasswordChange(shell.parentWindow);
      break;
    case Preview:
      RunPreview();
      break;
    case Saver:
      RunSaver();
      break;
    case None:
      break;
  }
  Shutdown();
  return 0;
}
