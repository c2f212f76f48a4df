#include "port_directx/port_display.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstring>
#include <ostream>

bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb Picture::At(int x, int y) const {
  const uint8_t* p = &rgba[((size_t)y * width + x) * 4];
  return {p[0], p[1], p[2]};
}

bool Picture::CoveredBox(int* left, int* top, int* right, int* bottom) const {
  *left = width;
  *top = height;
  *right = *bottom = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (!(At(x, y) == Rgb{0, 0, 0})) {
        if (x < *left) *left = x;
        if (x > *right) *right = x;
        if (y < *top) *top = y;
        if (y > *bottom) *bottom = y;
      }
  return *right >= 0;
}

DDPIXELFORMAT OfferedFormat(DWORD alpha, DWORD red, DWORD green, DWORD blue) {
  for (int i = 0; i < textureFormatCount; ++i) {
    const DDPIXELFORMAT& f = textureFormats[i].pixelFormat;
    if (f.dwRGBBitCount == 16 && f.dwRGBAlphaBitMask == alpha && f.dwRBitMask == red && f.dwGBitMask == green &&
        f.dwBBitMask == blue)
      return f;
  }
  return DDPIXELFORMAT();
}
TestTexture::~TestTexture() {
  if (texture) texture->Release();
  if (surface) surface->Release();
}

static LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT PortDisplay::Open(DWORD modeWidth, DWORD modeHeight, DWORD bpp, const GUID& deviceType, int windowWidth,
                          int windowHeight) {
  width = modeWidth;
  height = modeHeight;
  KeepPresentedPictures(true);  // Present reads the picture after the swap
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.lpszClassName = "gfxporttest";
    registered = RegisterClassExA(&windowClass) != 0;
  }
  window =
      CreateWindowExA(0, "gfxporttest", "gfx port test", WS_POPUP, 0, 0, windowWidth ? windowWidth : (int)modeWidth,
                      windowHeight ? windowHeight : (int)modeHeight, nullptr, nullptr, nullptr, nullptr);
  if (!window) return E_FAIL;
  ShowWindow(window, SW_SHOW);

  HRESULT r = CoInitialize(nullptr);
  if (FAILED(r)) return r;
  if (FAILED(r = CoCreateInstance(CLSID_DirectDraw, nullptr, 7, IID_IDirectDraw4, (void**)&directDraw))) return r;
  if (FAILED(r = directDraw->Initialize(nullptr))) return r;
  if (FAILED(r = directDraw->SetCooperativeLevel(window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE))) return r;
  if (FAILED(r = directDraw->SetDisplayMode(modeWidth, modeHeight, bpp, 0, 0))) return r;
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  if (FAILED(r = directDraw->CreateSurface(&desc, &primary, nullptr))) return r;
  desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
  if (FAILED(r = primary->GetAttachedSurface(&desc.ddsCaps, &back))) return r;
  if (FAILED(r = directDraw->QueryInterface(IID_IDirect3D3, (void**)&direct3D))) return r;
  if (FAILED(r = direct3D->CreateDevice(deviceType, back, &device, nullptr))) return r;
  D3DVIEWPORT2 data;
  std::memset(&data, 0, sizeof data);
  data.dwSize = sizeof data;
  data.dwWidth = modeWidth;
  data.dwHeight = modeHeight;
  data.dvClipX = -1.0f;
  data.dvClipY = 1.0f;
  data.dvClipWidth = 2.0f;
  data.dvClipHeight = 2.0f;
  data.dvMaxZ = 1.0f;
  if (FAILED(r = direct3D->CreateViewport(&viewport, nullptr))) return r;
  if (FAILED(r = device->AddViewport(viewport))) return r;
  if (FAILED(r = viewport->SetViewport2(&data))) return r;
  if (FAILED(r = device->SetCurrentViewport(viewport))) return r;
  device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
  device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  return DD_OK;
}

PortDisplay::~PortDisplay() {
  if (viewport) viewport->Release();
  if (device) device->Release();
  if (direct3D) direct3D->Release();
  if (back) back->Release();
  if (primary) primary->Release();
  if (directDraw) {
    directDraw->RestoreDisplayMode();
    directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    directDraw->Release();
  }
  if (window) DestroyWindow(window);
  CoUninitialize();
}

bool PortDisplay::MakeTexture(TestTexture* out, const DDPIXELFORMAT& format, DWORD textureWidth, DWORD textureHeight,
                              const std::vector<uint16_t>& texels) {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE;
  desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  desc.dwWidth = textureWidth;
  desc.dwHeight = textureHeight;
  desc.ddpfPixelFormat = format;
  if (directDraw->CreateSurface(&desc, &out->surface, nullptr) != DD_OK) return false;
  DDSURFACEDESC2 locked;
  std::memset(&locked, 0, sizeof locked);
  locked.dwSize = sizeof(DDSURFACEDESC2);
  if (FAILED(out->surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr))) return false;
  auto* row = static_cast<uint8_t*>(locked.lpSurface);
  for (DWORD y = 0; y < textureHeight; ++y, row += locked.lPitch)
    std::memcpy(row, &texels[y * textureWidth], textureWidth * 2);
  out->surface->Unlock(nullptr);
  return SUCCEEDED(out->surface->QueryInterface(IID_IDirect3DTexture2, (void**)&out->texture));
}

void PortDisplay::Blend(bool on, D3DBLEND source, D3DBLEND destination) {
  device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, on);
  if (!on) return;
  device->SetRenderState(D3DRENDERSTATE_SRCBLEND, source);
  device->SetRenderState(D3DRENDERSTATE_DESTBLEND, destination);
}

void PortDisplay::FillScreen(D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomRight, D3DCOLOR bottomLeft) {
  float w = (float)width, h = (float)height;
  ScreenColorVertex corners[4] = {
      {0, 0, 1, 1, topLeft}, {w, 0, 1, 1, topRight}, {w, h, 1, 1, bottomRight}, {0, h, 1, 1, bottomLeft}};
  device->SetTexture(0, nullptr);
  Blend(true);
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorFormat, corners, 4, D3DDP_DONOTLIGHT);
}

void PortDisplay::DrawScreenQuad(float left, float top, float right, float bottom, D3DCOLOR colour) {
  ScreenTexVertex corners[4] = {{left, top, 1, 1, colour, 0, 0},
                                {right, top, 1, 1, colour, 1, 0},
                                {right, bottom, 1, 1, colour, 1, 1},
                                {left, bottom, 1, 1, colour, 0, 1}};
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenTexFormat, corners, 4, D3DDP_DONOTLIGHT);
}

Picture PortDisplay::Present() {
  primary->Flip(nullptr, DDFLIP_WAIT);
  Picture picture;
  picture.width = (int)width;
  picture.height = (int)height;
  picture.rgba = ReadPresentedPicture();
  return picture;
}

Picture GrabWindow(HWND window) {
  Picture picture;
  SDL_Window* sdl = PortSdlWindow(window);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!sdl || !SDL_GetWindowWMInfo(sdl, &info) || info.subsystem != SDL_SYSWM_X11) return picture;
  Display* display = info.info.x11.display;
  XSync(display, False);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, info.info.x11.window, &attributes);
  XImage* image = XGetImage(display, info.info.x11.window, 0, 0, (unsigned)attributes.width,
                            (unsigned)attributes.height, AllPlanes, ZPixmap);
  if (!image) return picture;
  picture.width = attributes.width;
  picture.height = attributes.height;
  picture.rgba.resize((size_t)picture.width * picture.height * 4);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      uint8_t* out = &picture.rgba[((size_t)y * picture.width + x) * 4];
      out[0] = (uint8_t)((p & image->red_mask) >> 16);
      out[1] = (uint8_t)((p & image->green_mask) >> 8);
      out[2] = (uint8_t)(p & image->blue_mask);
      out[3] = 255;
    }
  XDestroyImage(image);
  return picture;
}
