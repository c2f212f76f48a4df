// A window with the port's DirectDraw display, flip chain, Direct3D device and
// viewport, set up in the order the program uses, and the picture it shows.
#pragma once

#include <cstdint>
#include <vector>

#include "drivers/sdl/sdl.h"

struct Rgb {
  int r, g, b;
};
bool operator==(const Rgb& a, const Rgb& b);
std::ostream& operator<<(std::ostream& out, const Rgb& c);

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // top row first
  Rgb At(int x, int y) const;
  // The bounding box of the pixels that differ from black; false when none do.
  bool CoveredBox(int* left, int* top, int* right, int* bottom) const;
};

// Vertex layouts the program draws with.
struct QuadVertex {
  float x, y, z;
  D3DCOLOR colour;
  float tu, tv;
};
struct ScreenTexVertex {
  float x, y, z, rhw;
  D3DCOLOR colour;
  float tu, tv;
};
struct ScreenColorVertex {
  float x, y, z, rhw;
  D3DCOLOR colour;
};
const DWORD QuadFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const DWORD ScreenTexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const DWORD ScreenColorFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// The offered 16-bit formats by their masks (alpha, red, green, blue).
DDPIXELFORMAT OfferedFormat(DWORD alpha, DWORD red, DWORD green, DWORD blue);
inline DDPIXELFORMAT Format4444() { return OfferedFormat(0xF000, 0x0F00, 0x00F0, 0x000F); }
inline DDPIXELFORMAT Format1555() { return OfferedFormat(0x8000, 0x7C00, 0x03E0, 0x001F); }
inline DDPIXELFORMAT Format565() { return OfferedFormat(0, 0xF800, 0x07E0, 0x001F); }

struct TestTexture {
  IDirectDrawSurface4* surface = nullptr;
  IDirect3DTexture2* texture = nullptr;
  ~TestTexture();
};

struct PortDisplay {
  HWND window = nullptr;
  IDirectDraw4* directDraw = nullptr;
  IDirectDrawSurface4* primary = nullptr;
  IDirectDrawSurface4* back = nullptr;
  IDirect3D3* direct3D = nullptr;
  IDirect3DDevice3* device = nullptr;
  IDirect3DViewport3* viewport = nullptr;
  DWORD width = 0;
  DWORD height = 0;

  // The whole set-up; the first failing call's result, or DD_OK. A window size
  // of 0 makes the window the mode's size.
  HRESULT Open(DWORD width, DWORD height, DWORD bpp, const GUID& deviceType = IID_IDirect3DHALDevice,
               int windowWidth = 0, int windowHeight = 0);
  ~PortDisplay();

  // A texture of the given format filled row by row from texels (width x height).
  bool MakeTexture(TestTexture* out, const DDPIXELFORMAT& format, DWORD textureWidth, DWORD textureHeight,
                   const std::vector<uint16_t>& texels);
  void Blend(bool on, D3DBLEND source = D3DBLEND_SRCALPHA, D3DBLEND destination = D3DBLEND_INVSRCALPHA);
  // The program's full-screen gradient: untextured, one colour per corner.
  void FillScreen(D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomRight, D3DCOLOR bottomLeft);
  void FillScreen(D3DCOLOR colour) { FillScreen(colour, colour, colour, colour); }
  // A pre-transformed textured rectangle with the whole texture on it.
  void DrawScreenQuad(float left, float top, float right, float bottom, D3DCOLOR colour);
  // Flips and returns what was presented.
  Picture Present();
};

// What the X server shows in the window (the whole window, top row first).
Picture GrabWindow(HWND window);
