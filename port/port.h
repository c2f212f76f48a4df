// The Win32, DirectX and DirectMusic names the program uses, for systems without
// them. Each header below is the face of one service family; the folder it sits
// in implements that family on SDL2, OpenGL, FluidSynth, a registry file and GTK.
#pragma once

#include "win32/win32.h"
#include "directx/directx.h"
#include "dmusic/dmusic.h"
