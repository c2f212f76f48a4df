// The layer shell's generated protocol header, which names a parameter
// `namespace`: a C++ keyword.
#pragma once

#include <wayland-client.h>

#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace
