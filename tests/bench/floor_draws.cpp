// Linked into a copy of the frame timer with the port's draw call wrapped:
// every draw of the show goes to the rasteriser as it is, the same vertices,
// primitives and order, but with the cheapest state it has: no blending, no
// alpha test, no texture. What such a frame costs is the floor under what the
// show's own states cost at the same size.
#include <vector>

#include "directx/directx_internal.h"

extern "C" HRESULT __real__Z12DrawVerticesRK9DrawState16D3DPRIMITIVETYPEjPKvj(const DrawState& state,
                                                                              D3DPRIMITIVETYPE type, DWORD format,
                                                                              const void* vertices, DWORD count);

extern "C" HRESULT __wrap__Z12DrawVerticesRK9DrawState16D3DPRIMITIVETYPEjPKvj(const DrawState& state,
                                                                              D3DPRIMITIVETYPE type, DWORD format,
                                                                              const void* vertices, DWORD count) {
  std::vector<DWORD> renderStates(state.renderStates, state.renderStates + RenderStateCount);
  renderStates[D3DRENDERSTATE_ALPHABLENDENABLE] = FALSE;
  renderStates[D3DRENDERSTATE_ALPHATESTENABLE] = FALSE;
  DrawState cheapest = state;
  cheapest.renderStates = renderStates.data();
  cheapest.texture = nullptr;
  return __real__Z12DrawVerticesRK9DrawState16D3DPRIMITIVETYPEjPKvj(cheapest, type, format, vertices, count);
}
