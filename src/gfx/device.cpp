#include "gfx/gfx.h"

RenderDevice renderDevice;

// Placeholder until the display device is built: the saver runs with no picture.
int SetUpRenderDevice() { return 1; }
void TearDownRenderDevice() {}
