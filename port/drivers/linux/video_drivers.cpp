// The video drivers of the Linux build, most wanted first: the show's layer
// surfaces where a Wayland compositor offers them, else SDL's windows (on X11,
// or on Wayland without a layer shell).
#include "drivers/sdl/sdl.h"
#include "drivers/wayland/wayland.h"

const PortVideoDriver* const portVideoDrivers[] = {&waylandVideoDriver, &sdlVideoDriver};
const int portVideoDriverCount = sizeof portVideoDrivers / sizeof portVideoDrivers[0];
