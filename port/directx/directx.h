// DirectDraw 4 and Direct3D 3 (DirectX 6) as the program uses them: the same
// names, parameter orders and types as the SDK's ddraw.h and d3d.h, so one
// program source compiles against either. Interfaces carry only the methods the
// program calls; every one of them is pure, so a stand-in must supply them all.
//
// Structures keep the SDK's field order. The few that hold a pointer
// (DDSURFACEDESC2) are larger here than on 32-bit Windows; their size fields
// accept the 32-bit SDK's numbers as well as sizeof.
#pragma once

#include "win32/win32.h"

// ---------------------------------------------------------------------------
// Results

#define PORT_DDHRESULT(code) ((HRESULT)(0x88760000u | (code)))
#define DD_OK S_OK
#define D3D_OK DD_OK
#define DDENUMRET_CANCEL 0
#define DDENUMRET_OK 1
#define D3DENUMRET_CANCEL DDENUMRET_CANCEL
#define D3DENUMRET_OK DDENUMRET_OK

#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_NOTINITIALIZED CO_E_NOTINITIALIZED
#define DDERR_ALREADYINITIALIZED PORT_DDHRESULT(5)
#define DDERR_INVALIDCAPS PORT_DDHRESULT(100)
#define DDERR_INVALIDMODE PORT_DDHRESULT(120)
#define DDERR_INVALIDPIXELFORMAT PORT_DDHRESULT(145)
#define DDERR_NOCOOPERATIVELEVELSET PORT_DDHRESULT(212)
#define DDERR_NOEXCLUSIVEMODE PORT_DDHRESULT(225)
#define DDERR_NOTFOUND PORT_DDHRESULT(255)
#define DDERR_SURFACEBUSY PORT_DDHRESULT(430)
#define DDERR_SURFACELOST PORT_DDHRESULT(450)
#define DDERR_INVALIDDIRECTDRAWGUID PORT_DDHRESULT(561)
#define DDERR_NOTFLIPPABLE PORT_DDHRESULT(582)
#define DDERR_NOTLOCKED PORT_DDHRESULT(584)
#define D3DERR_INVALID_DEVICE PORT_DDHRESULT(705)
#define D3DERR_INITFAILED PORT_DDHRESULT(706)
#define D3DERR_INVALIDCURRENTVIEWPORT PORT_DDHRESULT(735)
#define D3DERR_INVALIDPRIMITIVETYPE PORT_DDHRESULT(736)
#define D3DERR_SCENE_IN_SCENE PORT_DDHRESULT(760)
#define D3DERR_SCENE_NOT_IN_SCENE PORT_DDHRESULT(761)
#define D3DERR_SCENE_BEGIN_FAILED PORT_DDHRESULT(762)
#define D3DERR_VIEWPORTDATANOTSET PORT_DDHRESULT(773)
#define D3DERR_INVALIDVERTEXFORMAT PORT_DDHRESULT(2048)

// ---------------------------------------------------------------------------
// Class and interface identities (port/guids/directx_guids.cpp)

extern const CLSID CLSID_DirectDraw;
extern const IID IID_IDirectDraw4;
extern const IID IID_IDirectDrawSurface4;
extern const IID IID_IDirect3D3;
extern const IID IID_IDirect3DDevice3;
extern const IID IID_IDirect3DViewport3;
extern const IID IID_IDirect3DTexture2;
extern const IID IID_IDirect3DHALDevice;
extern const IID IID_IDirect3DRGBDevice;
extern const IID IID_IDirect3DRampDevice;
extern const IID IID_IDirect3DMMXDevice;

// ---------------------------------------------------------------------------
// DirectDraw constants

// DDSURFACEDESC2.dwFlags
#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_REFRESHRATE 0x00040000
#define DDSD_TEXTURESTAGE 0x00100000

// DDSCAPS2.dwCaps and dwCaps2
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_FRONTBUFFER 0x00000020
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_TEXTURE 0x00001000
#define DDSCAPS_3DDEVICE 0x00002000
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_LOCALVIDMEM 0x10000000
#define DDSCAPS2_TEXTUREMANAGE 0x00000010

// DDPIXELFORMAT.dwFlags
#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_FOURCC 0x00000004
#define DDPF_PALETTEINDEXED4 0x00000008
#define DDPF_PALETTEINDEXEDTO8 0x00000010
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040
#define DDPF_COMPRESSED 0x00000080
#define DDPF_YUV 0x00000200
#define DDPF_ZBUFFER 0x00000400
#define DDPF_PALETTEINDEXED1 0x00000800
#define DDPF_PALETTEINDEXED2 0x00001000
#define DDPF_LUMINANCE 0x00020000
#define DDPF_BUMPDUDV 0x00080000

// SetCooperativeLevel
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010

// Lock
#define DDLOCK_WAIT 0x00000001

// Flip
#define DDFLIP_WAIT 0x00000001
#define DDFLIP_NOVSYNC 0x00000008

// Bit depths in device descriptions
#define DDBD_16 0x00000400
#define DDBD_24 0x00000200
#define DDBD_32 0x00000100

// ---------------------------------------------------------------------------
// DirectDraw structures

// The surface structures hold the fields the program and the port read; the
// SDK's alternatives in its unions are of formats neither uses.
struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;  // read by nothing; the SDK's layout
  DWORD dwRGBBitCount;
  DWORD dwRBitMask;
  DWORD dwGBitMask;
  DWORD dwBBitMask;
  DWORD dwRGBAlphaBitMask;
};
typedef DDPIXELFORMAT* LPDDPIXELFORMAT;

struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  DWORD dwCaps4;
};
typedef DDSCAPS2* LPDDSCAPS2;

struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  LONG lPitch;
  DWORD dwBackBufferCount;
  DWORD dwRefreshRate;
  // Nothing reads these; they keep the SDK's layout, whose size a 32-bit
  // build's size field carries (the web build is one).
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  DWORD ddckColourKeys[8];
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS2 ddsCaps;
  DWORD dwTextureStage;
};
typedef DDSURFACEDESC2* LPDDSURFACEDESC2;

// ---------------------------------------------------------------------------
// Direct3D types and constants

typedef float D3DVALUE;
typedef D3DVALUE* LPD3DVALUE;
typedef DWORD D3DCOLOR;
typedef D3DCOLOR* LPD3DCOLOR;

struct D3DMATRIX {
  D3DVALUE _11, _12, _13, _14;
  D3DVALUE _21, _22, _23, _24;
  D3DVALUE _31, _32, _33, _34;
  D3DVALUE _41, _42, _43, _44;
};
typedef D3DMATRIX* LPD3DMATRIX;

struct D3DVIEWPORT2 {
  DWORD dwSize;
  DWORD dwX;
  DWORD dwY;
  DWORD dwWidth;
  DWORD dwHeight;
  D3DVALUE dvClipX;
  D3DVALUE dvClipY;
  D3DVALUE dvClipWidth;
  D3DVALUE dvClipHeight;
  D3DVALUE dvMinZ;
  D3DVALUE dvMaxZ;
};
typedef D3DVIEWPORT2* LPD3DVIEWPORT2;

typedef enum {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
  D3DPT_FORCE_DWORD = 0x7fffffff
} D3DPRIMITIVETYPE;

typedef enum {
  D3DTRANSFORMSTATE_WORLD = 1,
  D3DTRANSFORMSTATE_VIEW = 2,
  D3DTRANSFORMSTATE_PROJECTION = 3,
  D3DTRANSFORMSTATE_FORCE_DWORD = 0x7fffffff
} D3DTRANSFORMSTATETYPE;

typedef enum {
  D3DRENDERSTATE_TEXTUREHANDLE = 1,
  D3DRENDERSTATE_ANTIALIAS = 2,
  D3DRENDERSTATE_TEXTUREADDRESS = 3,
  D3DRENDERSTATE_TEXTUREPERSPECTIVE = 4,
  D3DRENDERSTATE_WRAPU = 5,
  D3DRENDERSTATE_WRAPV = 6,
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_SHADEMODE = 9,
  D3DRENDERSTATE_LINEPATTERN = 10,
  D3DRENDERSTATE_MONOENABLE = 11,
  D3DRENDERSTATE_ROP2 = 12,
  D3DRENDERSTATE_PLANEMASK = 13,
  D3DRENDERSTATE_ZWRITEENABLE = 14,
  D3DRENDERSTATE_ALPHATESTENABLE = 15,
  D3DRENDERSTATE_LASTPIXEL = 16,
  D3DRENDERSTATE_TEXTUREMAG = 17,
  D3DRENDERSTATE_TEXTUREMIN = 18,
  D3DRENDERSTATE_SRCBLEND = 19,
  D3DRENDERSTATE_DESTBLEND = 20,
  D3DRENDERSTATE_TEXTUREMAPBLEND = 21,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ZFUNC = 23,
  D3DRENDERSTATE_ALPHAREF = 24,
  D3DRENDERSTATE_ALPHAFUNC = 25,
  D3DRENDERSTATE_DITHERENABLE = 26,
  D3DRENDERSTATE_ALPHABLENDENABLE = 27,
  D3DRENDERSTATE_FOGENABLE = 28,
  D3DRENDERSTATE_SPECULARENABLE = 29,
  D3DRENDERSTATE_ZVISIBLE = 30,
  D3DRENDERSTATE_STIPPLEDALPHA = 33,
  D3DRENDERSTATE_FOGCOLOR = 34,
  D3DRENDERSTATE_COLORKEYENABLE = 41,
  D3DRENDERSTATE_FORCE_DWORD = 0x7fffffff
} D3DRENDERSTATETYPE;

typedef enum {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_TEXCOORDINDEX = 11,
  D3DTSS_ADDRESS = 12,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_BORDERCOLOR = 15,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
  D3DTSS_FORCE_DWORD = 0x7fffffff
} D3DTEXTURESTAGESTATETYPE;

typedef enum {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
  D3DBLEND_SRCALPHASAT = 11,
  D3DBLEND_BOTHSRCALPHA = 12,
  D3DBLEND_BOTHINVSRCALPHA = 13,
  D3DBLEND_FORCE_DWORD = 0x7fffffff
} D3DBLEND;

typedef enum { D3DCULL_NONE = 1, D3DCULL_CW = 2, D3DCULL_CCW = 3, D3DCULL_FORCE_DWORD = 0x7fffffff } D3DCULL;

typedef enum {
  D3DTFG_POINT = 1,
  D3DTFG_LINEAR = 2,
  D3DTFG_FLATCUBIC = 3,
  D3DTFG_GAUSSIANCUBIC = 4,
  D3DTFG_ANISOTROPIC = 5,
  D3DTFG_FORCE_DWORD = 0x7fffffff
} D3DTEXTUREMAGFILTER;

typedef enum {
  D3DTFN_POINT = 1,
  D3DTFN_LINEAR = 2,
  D3DTFN_ANISOTROPIC = 3,
  D3DTFN_FORCE_DWORD = 0x7fffffff
} D3DTEXTUREMINFILTER;

typedef enum {
  D3DTADDRESS_WRAP = 1,
  D3DTADDRESS_MIRROR = 2,
  D3DTADDRESS_CLAMP = 3,
  D3DTADDRESS_BORDER = 4,
  D3DTADDRESS_FORCE_DWORD = 0x7fffffff
} D3DTEXTUREADDRESS;

// Flexible vertex format bits
#define D3DFVF_XYZ 0x002
#define D3DFVF_XYZRHW 0x004
#define D3DFVF_NORMAL 0x010
#define D3DFVF_DIFFUSE 0x040
#define D3DFVF_SPECULAR 0x080
#define D3DFVF_TEX1 0x100

// DrawPrimitive flags
#define D3DDP_DONOTLIGHT 0x00000010

// D3DDEVICEDESC.dwFlags
#define D3DDD_COLORMODEL 0x00000001
#define D3DDD_DEVICERENDERBITDEPTH 0x00000080

// A device's description, down to what the program reads of it: whether it
// says at which depths it renders, and those depths.
struct D3DDEVICEDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwDeviceRenderBitDepth;
};
typedef D3DDEVICEDESC* LPD3DDEVICEDESC;

// ---------------------------------------------------------------------------
// Callbacks

typedef BOOL(CALLBACK* LPDDENUMCALLBACKA)(GUID* guid, LPSTR description, LPSTR name, LPVOID context);
typedef HRESULT(CALLBACK* LPDDENUMMODESCALLBACK2)(LPDDSURFACEDESC2 mode, LPVOID context);
typedef HRESULT(CALLBACK* LPD3DENUMDEVICESCALLBACK)(GUID* guid, char* description, char* name, D3DDEVICEDESC* halDesc,
                                                    D3DDEVICEDESC* helDesc, void* context);
typedef HRESULT(CALLBACK* LPD3DENUMPIXELFORMATSCALLBACK)(DDPIXELFORMAT* format, void* context);

// ---------------------------------------------------------------------------
// Interfaces

struct IDirectDrawSurface4;
struct IDirect3DDevice3;
struct IDirect3DViewport3;
struct IDirect3DTexture2;
typedef IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;

struct IDirectDraw4 : IUnknown {
  virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* surface, IUnknown* outer) = 0;
  virtual HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                   LPDDENUMMODESCALLBACK2 callback) = 0;
  virtual HRESULT Initialize(GUID* driver) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD flags) = 0;
};
typedef IDirectDraw4* LPDIRECTDRAW4;

struct IDirectDrawSurface4 : IUnknown {
  virtual HRESULT Flip(LPDIRECTDRAWSURFACE4 targetOverride, DWORD flags) = 0;
  virtual HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* attached) = 0;
  virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT Unlock(LPRECT rect) = 0;
};

struct IDirect3D3 : IUnknown {
  virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK callback, void* context) = 0;
  virtual HRESULT CreateViewport(IDirect3DViewport3** viewport, IUnknown* outer) = 0;
  virtual HRESULT CreateDevice(REFCLSID deviceType, IDirectDrawSurface4* target, IDirect3DDevice3** device,
                               IUnknown* outer) = 0;
};
typedef IDirect3D3* LPDIRECT3D3;

struct IDirect3DDevice3 : IUnknown {
  virtual HRESULT AddViewport(IDirect3DViewport3* viewport) = 0;
  virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT SetCurrentViewport(IDirect3DViewport3* viewport) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexFormat, void* vertices, DWORD vertexCount,
                                DWORD flags) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirect3DTexture2* texture) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
};
typedef IDirect3DDevice3* LPDIRECT3DDEVICE3;

struct IDirect3DViewport3 : IUnknown {
  virtual HRESULT SetViewport2(D3DVIEWPORT2* data) = 0;
};
typedef IDirect3DViewport3* LPDIRECT3DVIEWPORT3;

// Only ever bound; the program calls nothing on it beyond IUnknown.
struct IDirect3DTexture2 : IUnknown {};
typedef IDirect3DTexture2* LPDIRECT3DTEXTURE2;

// ---------------------------------------------------------------------------
// DDRAW.DLL's board enumeration: reports the primary board with a null GUID.
HRESULT WINAPI DirectDrawEnumerateA(LPDDENUMCALLBACKA callback, LPVOID context);
