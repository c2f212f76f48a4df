// The one full-screen device: exclusive display mode, a flip chain with one back
// buffer, a Direct3D device drawing into it through one full-screen viewport, the
// six textures and the fixed camera. No depth buffer: draw order is layering.
#include <cstring>

#include "gfx/gfx.h"
#include "settings/settings.h"
#include "shell/shell.h"

RenderDevice renderDevice;

namespace {

const DWORD AnyInprocOrLocalServer = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
const float NearPlane = 0.01f;
const float FarPlane = 100.0f;
const float FieldOfViewH = 1.5707964f;  // 90 degrees
const float FieldOfViewV = 1.1780972f;  // 67.5 degrees

// Which DirectDraw driver and Direct3D device type the options dialog chose.
// Outputs start at the defaults so that a store that cannot be opened at all
// still leaves a usable choice (the primary driver, the hardware device).
void ReadDeviceChoice() {
  DWORD useNullDriver = DefaultUseNullDriver;
  ReadDwordSetting(UseNullDriverSetting, &useNullDriver, &DefaultUseNullDriver);
  if (useNullDriver) {
    renderDevice.driverGuidPtr = nullptr;
  } else {
    renderDevice.driverGuid = DefaultDriverGuid;
    ReadGuidSetting(DriverGuidSetting, &renderDevice.driverGuid, &DefaultDriverGuid);
    renderDevice.driverGuidPtr = &renderDevice.driverGuid;
  }
  renderDevice.deviceGuid = DefaultDeviceGuid;
  ReadGuidSetting(DeviceGuidSetting, &renderDevice.deviceGuid, &DefaultDeviceGuid);
}

void TellSystemSaverIsRunning() {
  UINT scratch = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, &scratch, 0);
}

int CreateFlipChain() {
  RenderDevice& d = renderDevice;
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (FAILED(d.directDraw->CreateSurface(&desc, &d.primarySurface, nullptr))) return 0;
  desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
  return SUCCEEDED(d.primarySurface->GetAttachedSurface(&desc.ddsCaps, &d.backBuffer));
}

int CreateDeviceAndViewport() {
  RenderDevice& d = renderDevice;
  if (FAILED(d.directDraw->QueryInterface(IID_IDirect3D3, (void**)&d.direct3D))) return 0;
  if (FAILED(d.direct3D->CreateDevice(d.deviceGuid, d.backBuffer, &d.device, nullptr))) return 0;
  D3DVIEWPORT2 view;
  std::memset(&view, 0, sizeof(view));
  view.dwSize = sizeof view;
  view.dwX = 0;
  view.dwY = 0;
  view.dwWidth = d.displayWidth;
  view.dwHeight = d.displayHeight;
  view.dvClipX = -1.0f;
  view.dvClipY = 1.0f;
  view.dvClipWidth = 2.0f;
  view.dvClipHeight = 2.0f;
  view.dvMinZ = 0.0f;
  view.dvMaxZ = 1.0f;
  if (FAILED(d.direct3D->CreateViewport(&d.viewport, nullptr))) return 0;
  if (FAILED(d.device->AddViewport(d.viewport))) return 0;
  if (FAILED(d.viewport->SetViewport2(&view))) return 0;
  return SUCCEEDED(d.device->SetCurrentViewport(d.viewport));
}

int CreateAllTextures() {
  TextureSlot* t = renderDevice.textures;
  return CreateTexture(&t[Font], GlyphSheetBitmap, IntensityAlpha) && CreateTexture(&t[Glow], GlowBitmap, Opaque) &&
         CreateAlphaTexture(&t[Bulb], BulbBitmap, BulbAlphaBitmap) &&
         CreateAlphaTexture(&t[RockBlob], RockBitmap, RockBlobAlphaBitmap) &&
         CreateTexture(&t[Rock], RockBitmap, Opaque) &&
         CreateAlphaTexture(&t[WarningSign], WarningSignBitmap, WarningSignAlphaBitmap);
}

void SetCamera() {
  D3DMATRIX projection = MakeProjectionMatrix(NearPlane, FarPlane, FieldOfViewH, FieldOfViewV);
  renderDevice.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
  D3DMATRIX view;
  MakeIdentityMatrix(view);
  renderDevice.device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
}

}  // namespace

int SetUpRenderDevice() {
  RenderDevice& d = renderDevice;
  if (d.directDraw) return 1;
  // A fresh device has no texture bound and its own blend states.
  currentDrawMode = (DrawMode)0;
  if (!IsWindow(shell.mainWindow)) return 0;
  ReadDeviceChoice();
  if (FAILED(CoCreateInstance(CLSID_DirectDraw, nullptr, AnyInprocOrLocalServer, IID_IDirectDraw4,
                              (void**)&d.directDraw))) {
    d.directDraw = nullptr;
    return 0;
  }
  if (FAILED(d.directDraw->Initialize(d.driverGuidPtr))) return 0;
  if (FAILED(d.directDraw->SetCooperativeLevel(shell.mainWindow, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE))) return 0;
  if (FAILED(d.directDraw->SetDisplayMode(d.displayWidth, d.displayHeight, d.displayBpp, 0, 0))) return 0;
  TellSystemSaverIsRunning();
  if (!CreateFlipChain()) return 0;
  if (!CreateDeviceAndViewport()) return 0;
  if (!CreateAllTextures()) return 0;
  SetCamera();
  SetInitialRenderStates();
  return 1;
}

void SetInitialRenderStates() {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, 0);
  device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
  // Smooths the banding of 16-bit gradients; deeper modes need none.
  if (renderDevice.displayBpp <= 16) device->SetRenderState(D3DRENDERSTATE_DITHERENABLE, 1);
  device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
}

void TearDownRenderDevice() {
  RenderDevice& d = renderDevice;
  for (int i = 0; i < TextureCount; ++i) ReleaseTexture(&d.textures[i]);
  ReleaseInterface(d.viewport);
  ReleaseInterface(d.device);
  ReleaseInterface(d.direct3D);
  ReleaseInterface(d.backBuffer);
  ReleaseInterface(d.primarySurface);
  if (d.directDraw) {
    d.directDraw->RestoreDisplayMode();
    d.directDraw->SetCooperativeLevel(shell.mainWindow, DDSCL_NORMAL);
  }
  // Stays on: only the shutdown sequence says the saver has stopped.
  TellSystemSaverIsRunning();
  ReleaseInterface(d.directDraw);
}
