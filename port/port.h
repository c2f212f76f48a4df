// The Win32, DirectX and DirectMusic names the program uses, for systems without
// them. Each header below declares one service; the .cpp files beside them
// implement it on SDL2, OpenGL, FluidSynth, a registry file and GTK.
#pragma once

#include "win32.h"
#include "directx.h"
#include "dmusic.h"
