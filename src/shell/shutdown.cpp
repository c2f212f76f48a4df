#include "gfx/gfx.h"
#include "music/music.h"
#include "shell/shell.h"
#include "show/show.h"

void Shutdown() {
  StopMusic();
  // Teardown marks the saver as running again, so the flag is cleared last.
  TearDownRenderDevice();
  CoUninitialize();
  FreeSlideDeck();
  DWORD scratch = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, &scratch, 0);
}
