// The DirectDraw object: the board, the window it cooperates with and the
// display mode. A display mode here is the size and depth of the picture; the
// monitor's own mode is never touched, so nothing can be left behind in a
// strange mode.
#include "directx_internal.h"

struct DirectDrawObject : PortComObject<IDirectDraw4> {
  DirectDrawObject() : PortComObject(IID_IDirectDraw4) {}
  bool initialized = false;
  int board = 0;
  HWND window = nullptr;
  DWORD cooperation = 0;
  bool modeSet = false;
  DisplayMode mode = {0, 0, 0};

  bool Exclusive() const { return (cooperation & DDSCL_EXCLUSIVE) != 0; }

  HRESULT QueryOtherInterface(REFIID iid, void** object) override {
    if (iid != IID_IDirect3D3) return E_NOINTERFACE;
    if (!initialized) return DDERR_NOTINITIALIZED;
    return CreateDirect3DObject(this, object);
  }

  HRESULT Initialize(GUID* driver) override {
    if (initialized) return DDERR_ALREADYINITIALIZED;
    board = BoardOfGuid(driver);
    if (board < 0) return DDERR_INVALIDDIRECTDRAWGUID;
    initialized = true;
    return DD_OK;
  }

  HRESULT SetCooperativeLevel(HWND newWindow, DWORD flags) override {
    if (!initialized) return DDERR_NOTINITIALIZED;
    bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
    bool fullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    bool normal = (flags & DDSCL_NORMAL) != 0;
    if (exclusive != fullScreen || normal == exclusive) return DDERR_INVALIDPARAMS;
    if (exclusive && !PortWindowHoldsPictures(newWindow)) return DDERR_INVALIDPARAMS;
    window = newWindow;
    cooperation = flags;
    // Exclusive use of another monitor's board shows the window on that monitor.
    if (exclusive && board > 0) PlaceWindowOnBoard(window, board);
    // Giving up exclusive use gives the desktop its mode back.
    if (!exclusive) modeSet = false;
    return DD_OK;
  }

  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD, DWORD flags) override {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (!Exclusive()) return DDERR_NOEXCLUSIVEMODE;
    if (flags != 0) return DDERR_INVALIDPARAMS;
    // Any picture size GL can hold is fine; the listed modes are only a menu.
    if (width < 1 || height < 1 || width > 8192 || height > 8192) return DDERR_INVALIDMODE;
    if (bpp != 16 && bpp != 24 && bpp != 32) return DDERR_INVALIDMODE;
    mode = {width, height, bpp};
    modeSet = true;
    return DD_OK;
  }

  HRESULT RestoreDisplayMode() override {
    if (!initialized) return DDERR_NOTINITIALIZED;
    modeSet = false;
    return DD_OK;
  }

  HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) override {
    if (!surface) return DDERR_INVALIDPARAMS;
    *surface = nullptr;
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (outer) return E_INVALIDARG;
    if (!desc || !IsSurfaceDescSize(desc->dwSize) || !(desc->dwFlags & DDSD_CAPS)) return DDERR_INVALIDPARAMS;
    DWORD caps = desc->ddsCaps.dwCaps;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
      if (!cooperation) return DDERR_NOCOOPERATIVELEVELSET;
      if (!(caps & DDSCAPS_FLIP)) return DDERR_UNSUPPORTED;  // the port has flip chains only
      if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount != 1)
        return DDERR_INVALIDCAPS;
      if (!Exclusive()) return DDERR_NOEXCLUSIVEMODE;
      return CreateFlipChain(this, surface);
    }
    if (caps & DDSCAPS_TEXTURE) return CreateTextureSurface(this, *desc, surface);
    return DDERR_UNSUPPORTED;
  }

  HRESULT EnumDisplayModes(DWORD, LPDDSURFACEDESC2 filter, LPVOID context, LPDDENUMMODESCALLBACK2 callback) override {
    if (!initialized) return DDERR_NOTINITIALIZED;
    if (!callback) return DDERR_INVALIDPARAMS;
    if (filter && !IsSurfaceDescSize(filter->dwSize)) return DDERR_INVALIDPARAMS;
    for (const DisplayMode& m : ListDisplayModes(board)) {
      if (filter) {
        if ((filter->dwFlags & DDSD_WIDTH) && filter->dwWidth != m.width) continue;
        if ((filter->dwFlags & DDSD_HEIGHT) && filter->dwHeight != m.height) continue;
        if ((filter->dwFlags & DDSD_PIXELFORMAT) && filter->ddpfPixelFormat.dwRGBBitCount != m.bpp) continue;
      }
      DDSURFACEDESC2 desc;
      DescribeDisplayMode(m, &desc);
      if (callback(&desc, context) == DDENUMRET_CANCEL) break;
    }
    return DD_OK;
  }
};

HRESULT CreateDirectDrawObject(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  auto* directDraw = new DirectDrawObject;
  HRESULT result = directDraw->QueryInterface(iid, object);
  directDraw->Release();
  return result;
}

IDirectDraw4* DirectDrawInterface(DirectDrawObject* directDraw) { return directDraw; }

HWND DirectDrawWindow(DirectDrawObject* directDraw) { return directDraw ? directDraw->window : nullptr; }

bool DirectDrawMode(DirectDrawObject* directDraw, DisplayMode* mode) {
  if (!directDraw || !directDraw->Exclusive()) return false;
  if (directDraw->modeSet) {
    *mode = directDraw->mode;
    return true;
  }
  // Exclusive without a mode of its own: the desktop's, as the window has it.
  int width = 0, height = 0;
  if (!PortWindowHoldsPictures(directDraw->window) || !PortWindowSize(directDraw->window, &width, &height) ||
      width < 1 || height < 1)
    return false;
  *mode = {(DWORD)width, (DWORD)height, 32};
  return true;
}
