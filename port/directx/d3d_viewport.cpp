// Direct3D viewports: they only carry the rectangle and clip volume that the
// device reads when it draws.
#include "directx_internal.h"

namespace {
struct Viewport : PortComObject<IDirect3DViewport3> {
  bool hasData = false;
  D3DVIEWPORT2 data = {};

  Viewport() : PortComObject(IID_IDirect3DViewport3) {}

  HRESULT SetViewport2(D3DVIEWPORT2* newData) override {
    if (!newData || newData->dwSize != sizeof(D3DVIEWPORT2)) return DDERR_INVALIDPARAMS;
    if (newData->dwWidth == 0 || newData->dwHeight == 0 || newData->dvClipWidth <= 0.0f ||
        newData->dvClipHeight <= 0.0f)
      return DDERR_INVALIDPARAMS;
    data = *newData;
    hasData = true;
    return D3D_OK;
  }
};
}  // namespace

HRESULT CreateViewportObject(IDirect3DViewport3** viewport) {
  *viewport = new Viewport;
  return D3D_OK;
}

bool ViewportData(IDirect3DViewport3* viewport, D3DVIEWPORT2* data) {
  auto* ours = dynamic_cast<Viewport*>(viewport);
  if (!ours || !ours->hasData) return false;
  *data = ours->data;
  return true;
}
