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
