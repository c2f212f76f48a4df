// The video drivers of the Linux build, most wanted first.
#include "drivers/sdl/sdl.h"

const PortVideoDriver* const portVideoDrivers[] = {&sdlVideoDriver};
const int portVideoDriverCount = sizeof portVideoDrivers / sizeof portVideoDrivers[0];
