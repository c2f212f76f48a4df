// Other programs' windows as the X11 extras know them.
#include "x11.h"

namespace {
bool WindowRect(HWND window, RECT* rect) { return PortX11WindowRect((unsigned long)(uintptr_t)window, rect); }

HWND ActiveWindow() { return reinterpret_cast<HWND>((uintptr_t)PortX11ActiveWindow()); }

const PortForeignWindows x11ForeignWindows = {
    PortOpenChildWindow, PortCloseChildWindow,      PortShowChildWindow,
    PortChildWindowRect, PortDrawChildPixels,       WindowRect,
    ActiveWindow,        PortPumpChildWindowEvents, PortWaitForChildWindowEvents,
};
}  // namespace

const PortForeignWindows* const portForeignWindows = &x11ForeignWindows;

void PortCloseForeignWindows() { PortX11Close(); }
