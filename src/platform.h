// The one place that knows which system is underneath. Windows gets its own SDK;
// everything else gets the port layer, which declares the same names.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#include <direct.h>
#include <ddraw.h>
#include <d3d.h>
#include <dmusici.h>
#else
#include "port.h"
#endif

// Every size field is filled from the structure itself. On a 32-bit build those
// are the SDK's documented figures, which a 32-bit system checks for; a 64-bit
// build's structures are larger wherever they hold a pointer.
static_assert(sizeof(void*) != 4 ||
                  (sizeof(WNDCLASSEXA) == 48 && sizeof(DDSURFACEDESC2) == 124 && sizeof(D3DVIEWPORT2) == 44 &&
                   sizeof(DMUS_OBJECTDESC) == 848 && sizeof(OSVERSIONINFOA) == 148),
              "a 32-bit build's structures have the SDK's documented sizes");
