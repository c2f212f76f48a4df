#include <cstdlib>

#include "gfx/gfx.h"
#include "music/music.h"
#include "settings/settings.h"
#include "shell/shell.h"
#include "show/show.h"

static void MarkScreenSaverRunning(UINT running) {
  DWORD scratch = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &scratch, 0);
}

static int OpenSaverWindow() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = shell.instance;
  windowClass.lpszClassName = "glmzsaver";
  if (!RegisterClassExA(&windowClass)) return 0;
  shell.mainWindow =
      CreateWindowExA(WS_EX_TOPMOST, "glmzsaver", "Glimmerz", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, shell.instance, nullptr);
  return shell.mainWindow != nullptr;
}

// Messages always win over frames: a frame runs only when the queue is empty and
// no password check is under way.
static void RunSaverLoop() {
  MSG msg = {};
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  while (msg.message != WM_QUIT) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      GetMessageA(&msg, nullptr, 0, 0);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (!shell.checkingPassword) {
      FrameTick();
    }
  }
}

int RunSaver() {
  srand(timeGetTime());
  if (!LoadSlideDeck()) return 0;
  ReadDwordSetting(DisplayWidthSetting, &renderDevice.displayWidth, &DefaultDisplayWidth);
  ReadDwordSetting(DisplayHeightSetting, &renderDevice.displayHeight, &DefaultDisplayHeight);
  ReadDwordSetting(DisplayBppSetting, &renderDevice.displayBpp, &DefaultDisplayBpp);
  if (!OpenSaverWindow()) return 0;
  MarkScreenSaverRunning(1);
  if (!SetUpRenderDevice()) return 0;
  if (!StartMusic()) return 0;
  PlayResourceSong(TuneResource, InstrumentsResource);

  DWORD now = timeGetTime();
  shell.clock.graceStart = shell.clock.lastFrame = shell.clock.phaseStart = now;
  shell.showPhase = 1;
  RunSaverLoop();
  MarkScreenSaverRunning(0);
  return 1;
}

void FrameTick() {
  DWORD now;
  // The millisecond timer may not have moved since the last frame; wait for it so
  // that no frame ever sees a zero delta.
  do {
    now = timeGetTime();
    shell.clock.frameDelta = now - shell.clock.lastFrame;
  } while (shell.clock.frameDelta == 0);
  shell.clock.phaseElapsed = now - shell.clock.phaseStart;
  shell.clock.lastFrame = now;
  PumpMusicNotifications();
  RenderShowFrame();
}
