// The graphics device layer. (Being built: only what the shell needs so far.)
#pragma once

#include "platform.h"

struct RenderDevice {
  DWORD displayWidth;
  DWORD displayHeight;
  DWORD displayBpp;
};

extern RenderDevice renderDevice;

int SetUpRenderDevice();
void TearDownRenderDevice();
