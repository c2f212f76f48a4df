// The screen-saver shell: entry, command line, run modes, the saver window with
// its loop and frame clock, and the preview window.
#pragma once

#include "platform.h"

enum RunMode : int32_t { None = 0, Configure = 1, ChangePassword = 2, Preview = 3, Saver = 4 };

// Milliseconds from timeGetTime; every difference is taken modulo 2^32.
struct FrameClock {
  DWORD graceStart;
  DWORD phaseStart;
  DWORD lastFrame;
  DWORD phaseElapsed;
  DWORD frameDelta;
};

struct ShellState {
  HINSTANCE instance;
  RunMode mode;
  HWND parentWindow;
  HWND mainWindow;
  int32_t closeRequested;
  int32_t checkingPassword;
  FrameClock clock;
  int32_t showPhase;
};

extern ShellState shell;

// Mouse movement and loss of focus are ignored for this long after the show
// starts (or resumes), so settling the mouse does not end it at once.
const DWORD GracePeriodMs = 2000;

void ResetShellState(HINSTANCE instance);
void ParseCommandLine();
int32_t ParseWindowNumber(const char* text);
int RunSaver();
void FrameTick();
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int VerifyPassword(HWND window);
int RunPasswordChange(HWND owner);
int RunPreview();
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The preview's frames (null where a bitmap did not load) and the one on show.
const int PreviewFrameCount = 10;
extern HBITMAP previewFrames[PreviewFrameCount];
extern int32_t previewFrame;
void Shutdown();
