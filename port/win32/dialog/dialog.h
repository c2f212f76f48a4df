// The dialogs' room of the Win32 family: modal dialogs on GTK 3, built from the
// program's dialog templates (DialogBoxParamA and the dialog calls of win32.h).
// The rest of the family sees only this of them.
#pragma once

#include "win32/win32.h"

// Dialog windows are not SDL windows: their place and size (dialog_window.cpp).
bool PortDialogWindowRect(HWND dialog, RECT* rect);
bool PortDialogMove(HWND dialog, int x, int y, int width, int height);
