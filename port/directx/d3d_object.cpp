// The Direct3D object: the two devices it offers and the factory for devices
// and viewports. Both draw through the window's GL context. Which renderer
// that context has is settled when its window is made (the GL driver loads
// with the window's visual), before the program names a device; so the
// software device is Mesa's software rasteriser only where GL is that anyway,
// or where LIBGL_ALWAYS_SOFTWARE=1 is set for the whole run.
#include <cstring>

#include "directx_internal.h"

namespace {
// Both devices draw at every depth a display mode can have.
D3DDEVICEDESC DescribeDevice() {
  D3DDEVICEDESC d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = sizeof d;
  d.dwFlags = D3DDD_DEVICERENDERBITDEPTH;
  d.dwDeviceRenderBitDepth = DDBD_16 | DDBD_24 | DDBD_32;
  return d;
}

struct Direct3DObject : PortComObject<IDirect3D3> {
  DirectDrawObject* directDraw;

  explicit Direct3DObject(DirectDrawObject* directDraw) : PortComObject(IID_IDirect3D3), directDraw(directDraw) {
    DirectDrawInterface(directDraw)->AddRef();
  }
  ~Direct3DObject() override { DirectDrawInterface(directDraw)->Release(); }

  // Direct3D is a face of its DirectDraw object: everything else is asked there.
  HRESULT QueryOtherInterface(REFIID iid, void** object) override {
    return DirectDrawInterface(directDraw)->QueryInterface(iid, object);
  }

  HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) override {
    if (!callback) return DDERR_INVALIDPARAMS;
    D3DDEVICEDESC none;
    std::memset(&none, 0, sizeof none);
    none.dwSize = sizeof none;

    GUID hal = IID_IDirect3DHALDevice;
    char halDescription[] = "OpenGL as the system provides it";
    char halName[] = "Direct3D HAL";
    D3DDEVICEDESC halHardware = DescribeDevice();
    D3DDEVICEDESC halSoftware = none;
    if (callback(&hal, halDescription, halName, &halHardware, &halSoftware, context) == D3DENUMRET_CANCEL)
      return D3D_OK;

    GUID rgb = IID_IDirect3DRGBDevice;
    char rgbDescription[] = "Mesa software rasteriser";
    char rgbName[] = "RGB Emulation";
    D3DDEVICEDESC rgbHardware = none;
    D3DDEVICEDESC rgbSoftware = DescribeDevice();
    callback(&rgb, rgbDescription, rgbName, &rgbHardware, &rgbSoftware, context);
    return D3D_OK;
  }

  HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) override {
    if (!viewport) return DDERR_INVALIDPARAMS;
    *viewport = nullptr;
    if (outer) return E_INVALIDARG;
    return CreateViewportObject(viewport);
  }

  HRESULT CreateDevice(REFCLSID deviceType, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                       IUnknown* outer) override {
    if (!device) return DDERR_INVALIDPARAMS;
    *device = nullptr;
    if (outer) return E_INVALIDARG;
    if (deviceType != IID_IDirect3DHALDevice && deviceType != IID_IDirect3DRGBDevice) return D3DERR_INVALID_DEVICE;
    DirectDrawSurface* surface = PortSurface(target);
    if (!IsRenderTarget(surface) || SurfaceOwner(surface) != directDraw) return DDERR_INVALIDPARAMS;
    return CreateDeviceObject(directDraw, deviceType, surface, device);
  }
};
}  // namespace

HRESULT CreateDirect3DObject(DirectDrawObject* directDraw, void** object) {
  *object = static_cast<IDirect3D3*>(new Direct3DObject(directDraw));
  return S_OK;
}
