// What the port's service families share among themselves (the window behind a
// handle, its GL context, the COM class table, the process's start and end);
// never seen by the program.
#pragma once

#include <string>

#include "win32/win32.h"

struct SDL_Window;

// The SDL window behind a window handle, or null.
SDL_Window* PortSdlWindow(HWND window);
// The window's OpenGL context, made on first use and current afterwards; null
// when the window has none and cannot get one.
void* PortGlContext(HWND window);

// Called by Flip each time a picture reaches the screen: drives the virtual
// clock and the run-time limit.
void PortNoteFramePresented();

// COM classes the port can create: one entry per class, see win32/com_classes.cpp.
struct PortComClass {
  const CLSID* clsid;
  HRESULT (*create)(REFIID iid, void** object);
};
extern const PortComClass portComClasses[];
extern const int portComClassCount;

// The embedded resource file.
extern const unsigned char glimmerzResStart[];
extern const unsigned char glimmerzResEnd[];

// The command line as GetCommandLineA returns it, made from main's arguments.
void PortSetCommandLine(const char* line);
std::string PortCommandLine(int argc, char** argv);
std::string PortJoinArguments(int argc, char** argv);
// The program's own module handle (resources are looked up in it).
HINSTANCE PortProgramInstance();
// The process's one Xlib connection, opened on first use; null without a display.
// While it is open, X errors are noted instead of ending the process: wrap calls
// that may fail (a window id that is no window) in PortX11TrapErrors and
// PortX11UntrapErrors, which reports whether they all succeeded.
struct _XDisplay;
_XDisplay* PortX11Display();
void PortX11TrapErrors();
bool PortX11UntrapErrors();
// The outer rectangle, in screen coordinates, of any X11 window by its id.
bool PortX11WindowRect(unsigned long window, RECT* rect);
void PortX11Close();
// The window the desktop calls active (_NET_ACTIVE_WINDOW), or 0.
unsigned long PortX11ActiveWindow();

// Releases what the port holds (windows, SDL) before the process ends.
void PortExit();
// True once GLIMMERZ_RUN_MS has passed since the show's first frame.
bool PortRunLimitReached();
