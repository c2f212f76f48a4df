// The SDL video driver: windows, GL contexts, input and monitors on SDL 2,
// which serves X11 and Wayland desktops alike.
#pragma once

#include <cstdint>

#include "driver.h"

struct SDL_Window;

extern const PortVideoDriver sdlVideoDriver;
// The hints every start of SDL's video needs, whoever starts it.
void PortSetVideoHints();
// The SDL window behind a window handle, or null.
SDL_Window* PortSdlWindow(HWND window);
PortWindow* PortWindowOfSdl(uint32_t sdlId);
// Turns SDL's queued events into messages, and waits for more (sdl_events.cpp).
void PumpSdlEvents();
void WaitForSdlEvents(int timeoutMs);
