// The Direct3D device: scenes, the states and transforms a draw uses, the
// bound texture and viewports. Drawing itself is in gl_draw.cpp.
#include <algorithm>
#include <cstring>

#include "directx_internal.h"

namespace {
// Serial numbers of transform and viewport changes, never reused, so a device
// made where an old one was cannot be mistaken for it.
uint32_t lastTransformSerial = 0;

D3DMATRIX Identity() {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

struct Device : PortComObject<IDirect3DDevice3> {
  DirectDrawObject* directDraw;
  DirectDrawSurface* target;  // one reference, as Direct3D's device holds its render target
  std::vector<IDirect3DViewport3*> viewports;
  IDirect3DViewport3* currentViewport = nullptr;
  IDirect3DTexture2* texture = nullptr;
  bool inScene = false;
  DWORD renderStates[RenderStateCount];
  DWORD stageStates[StageStateCount];
  D3DMATRIX world = Identity(), view = Identity(), projection = Identity();
  uint32_t transformSerial = ++lastTransformSerial;

  Device(DirectDrawObject* directDraw, DirectDrawSurface* target)
      : PortComObject(IID_IDirect3DDevice3), directDraw(directDraw), target(target) {
    DirectDrawInterface(directDraw)->AddRef();
    SurfaceInterface(target)->AddRef();
    // Direct3D's own defaults, which the program relies on for what it never sets.
    std::fill(std::begin(renderStates), std::end(renderStates), 0u);
    renderStates[D3DRENDERSTATE_TEXTUREPERSPECTIVE] = TRUE;
    renderStates[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
    renderStates[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
    renderStates[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
    renderStates[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
    renderStates[D3DRENDERSTATE_SHADEMODE] = 2;  // Gouraud
    renderStates[D3DRENDERSTATE_FILLMODE] = 3;   // solid
    std::fill(std::begin(stageStates), std::end(stageStates), 0u);
    stageStates[D3DTSS_COLOROP] = 4;    // modulate
    stageStates[D3DTSS_COLORARG1] = 2;  // texture
    stageStates[D3DTSS_COLORARG2] = 1;  // current
    stageStates[D3DTSS_ALPHAOP] = 2;    // first argument
    stageStates[D3DTSS_ALPHAARG1] = 2;
    stageStates[D3DTSS_ALPHAARG2] = 1;
    stageStates[D3DTSS_MAGFILTER] = D3DTFG_POINT;
    stageStates[D3DTSS_MINFILTER] = D3DTFN_POINT;
    stageStates[D3DTSS_MIPFILTER] = 1;
    stageStates[D3DTSS_ADDRESS] = stageStates[D3DTSS_ADDRESSU] = stageStates[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
  }
  ~Device() override {
    if (texture) texture->Release();
    if (currentViewport) currentViewport->Release();
    for (IDirect3DViewport3* v : viewports) v->Release();
    SurfaceInterface(target)->Release();
    DirectDrawInterface(directDraw)->Release();
  }

  bool PrepareTarget() {
    FlushGlDraws();
    DisplayMode mode;
    return SurfaceMode(target, &mode) &&
           PrepareGlTarget(DirectDrawWindow(directDraw), mode.width, mode.height, mode.bpp);
  }

  HRESULT AddViewport(IDirect3DViewport3* viewport) override {
    if (!viewport || std::find(viewports.begin(), viewports.end(), viewport) != viewports.end())
      return DDERR_INVALIDPARAMS;
    viewport->AddRef();
    viewports.push_back(viewport);
    return D3D_OK;
  }

  HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) override {
    if (!viewport || std::find(viewports.begin(), viewports.end(), viewport) == viewports.end())
      return DDERR_INVALIDPARAMS;
    viewport->AddRef();
    if (currentViewport) currentViewport->Release();
    currentViewport = viewport;
    transformSerial = ++lastTransformSerial;
    return D3D_OK;
  }

  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    for (int i = 0; i < textureFormatCount; ++i) {
      DDPIXELFORMAT format = textureFormats[i].pixelFormat;
      if (callback(&format, context) == D3DENUMRET_CANCEL) break;
    }
    return D3D_OK;
  }

  HRESULT BeginScene() override {
    if (inScene) return D3DERR_SCENE_IN_SCENE;
    if (!PrepareTarget()) return D3DERR_SCENE_BEGIN_FAILED;
    // The window's painting may have used the context since the last scene.
    ForgetGlState();
    inScene = true;
    return D3D_OK;
  }

  HRESULT EndScene() override {
    if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    FlushGlDraws();
    inScene = false;
    return D3D_OK;
  }

  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    if ((int)state <= 0 || (int)state >= RenderStateCount) return DDERR_INVALIDPARAMS;
    renderStates[state] = value;
    if (state == D3DRENDERSTATE_DITHERENABLE) DitherPresentedPictures(value != 0);
    return D3D_OK;
  }

  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override {
    if (stage != 0 || (int)state <= 0 || (int)state >= StageStateCount) return DDERR_INVALIDPARAMS;
    stageStates[state] = value;
    // The older single address state sets both directions.
    if (state == D3DTSS_ADDRESS) stageStates[D3DTSS_ADDRESSU] = stageStates[D3DTSS_ADDRESSV] = value;
    return D3D_OK;
  }

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
    if (!matrix) return DDERR_INVALIDPARAMS;
    switch (state) {
      case D3DTRANSFORMSTATE_WORLD:
        world = *matrix;
        break;
      case D3DTRANSFORMSTATE_VIEW:
        view = *matrix;
        break;
      case D3DTRANSFORMSTATE_PROJECTION:
        projection = *matrix;
        break;
      default:
        return DDERR_INVALIDPARAMS;
    }
    transformSerial = ++lastTransformSerial;
    return D3D_OK;
  }

  HRESULT SetTexture(DWORD stage, IDirect3DTexture2* newTexture) override {
    if (stage != 0) return DDERR_INVALIDPARAMS;
    if (newTexture && !PortTexture(newTexture)) return DDERR_INVALIDPARAMS;
    if (newTexture) newTexture->AddRef();
    if (texture) texture->Release();
    texture = newTexture;
    return D3D_OK;
  }

  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, void* vertices, DWORD count, DWORD) override {
    if (!inScene) return D3DERR_SCENE_NOT_IN_SCENE;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDPRIMITIVETYPE;
    if (!VertexStride(vertexFormat)) return D3DERR_INVALIDVERTEXFORMAT;
    if (count == 0) return D3D_OK;
    if (!vertices || count > 65535) return DDERR_INVALIDPARAMS;
    if (!currentViewport) return D3DERR_INVALIDCURRENTVIEWPORT;
    DrawState state;
    if (!ViewportData(currentViewport, &state.viewport)) return D3DERR_VIEWPORTDATANOTSET;
    state.renderStates = renderStates;
    state.stageStates = stageStates;
    state.world = &world;
    state.view = &view;
    state.projection = &projection;
    state.transformSerial = transformSerial;
    state.texture = texture ? PortTexture(texture) : nullptr;
    SurfaceMode(target, &state.targetMode);
    return DrawVertices(state, type, vertexFormat, vertices, count);
  }
};
}  // namespace

HRESULT CreateDeviceObject(DirectDrawObject* directDraw, REFCLSID, DirectDrawSurface* target,
                           IDirect3DDevice3** device) {
  DisplayMode mode;
  if (!SurfaceMode(target, &mode) || !PrepareGlTarget(DirectDrawWindow(directDraw), mode.width, mode.height, mode.bpp))
    return D3DERR_INITFAILED;
  *device = new Device(directDraw, target);
  return D3D_OK;
}
