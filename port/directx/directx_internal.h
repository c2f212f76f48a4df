// What the DirectDraw and Direct3D modules of the port share among themselves.
// The picture is drawn with OpenGL straight into the bound window when it fills
// the window pixel for pixel, else into an off-screen target of the display
// mode's size that is shown, scaled with its aspect kept, in the window.
#pragma once

#include <cstdint>
#include <vector>

#include "win32/com_object.h"
#include "directx.h"
#include "port_internal.h"

// A size field must carry the structure's own size, as the program fills it.
inline bool IsSurfaceDescSize(DWORD size) { return size == sizeof(DDSURFACEDESC2); }

// ---------------------------------------------------------------------------
// Texture formats (texture_formats.cpp)

struct TextureFormat {
  DDPIXELFORMAT pixelFormat;
  DWORD bytesPerTexel;
  unsigned glInternalFormat;
  unsigned glFormat;
  unsigned glType;
};
// The formats the device offers, in the order it offers them.
extern const TextureFormat textureFormats[];
extern const int textureFormatCount;
// The offered format a caller's description names, or null.
const TextureFormat* FindTextureFormat(const DDPIXELFORMAT& wanted);

// ---------------------------------------------------------------------------
// Display modes (displays.cpp) and boards

struct DisplayMode {
  DWORD width;
  DWORD height;
  DWORD bpp;
};
// 640x480 up to the board's monitor's size, each at 16 and 32 bits, smallest first.
std::vector<DisplayMode> ListDisplayModes(int board);

// Boards (boards.cpp): board 0 is the primary monitor, board n the monitor n.
// The board a DirectDraw GUID names (null and all-zero name the primary), or -1.
int BoardOfGuid(const GUID* guid);
bool BoardBounds(int board, int* x, int* y, int* width, int* height);
// Moves a window that covers one monitor onto the board's monitor.
void PlaceWindowOnBoard(HWND window, int board);
// Fills a mode description as EnumDisplayModes hands it out.
void DescribeDisplayMode(const DisplayMode& mode, DDSURFACEDESC2* desc);

// ---------------------------------------------------------------------------
// The GL target (gl_target.cpp) and its presentation (gl_present.cpp)

// What the target last told GL, so that draws set only what changed. Anything
// else that touches the context (window painting, uploads, presenting) makes
// its part unknown again.
struct GlStateCache {
  bool known = false;
  long framebuffer = -1;  // -1 unknown, 0 the window's own
  int viewport[4] = {0, 0, 0, 0};
  unsigned texture = 0;
  bool textureEnabled = false;
  bool blend = false;
  unsigned blendSource = 0;
  unsigned blendDestination = 0;
  bool alphaTest = false;
  int cull = -1;  // -1 unknown, 0 off, else the GL face culled
  int matrices = 0;  // 0 unknown, 1 identity: positions arrive in clip space
  unsigned clientArrays = 0;  // bit 0 colours, bit 1 texture coordinates
};

struct GlTarget {
  HWND window = nullptr;
  void* context = nullptr;
  // Counts the contexts the target has been built in; a texture uploaded in an
  // earlier one uploads again.
  uint32_t generation = 0;
  DWORD width = 0;
  DWORD height = 0;
  DWORD bpp = 0;
  bool dither = false;
  bool clipControl = false;  // GL can clip depth to 0..1 as Direct3D does
  unsigned sceneFramebuffer = 0;
  unsigned sceneTexture = 0;
  unsigned pictureFramebuffer = 0;
  unsigned pictureTexture = 0;
  unsigned fromSceneProgram = 0;  // rounds to 16 bits on the way from the scene's target
  unsigned inPlaceProgram = 0;    // rounds to 16 bits in the window itself
  bool inPlaceTried = false;
  int windowAlphaBits = -1;  // of the window's own buffer, -1 until asked
  bool frameBegun = false;   // the frame being drawn has chosen where it goes
  bool straight = false;     // and it goes straight into the window
  bool presented = false;    // a frame has been presented from the scene
  bool pictureMade = false;  // the (16-bit) picture of that frame is in the picture target
  bool pictureInWindow = false;  // the presented picture is in the window, not yet swapped
  bool keepPictures = false;     // copy the window's picture before every swap
  bool vsync = false;
  bool vsyncKnown = false;
  GlStateCache cache;
};
extern GlTarget glTarget;

// Makes the window's context current and the target the mode's size; false
// when the window has no GL context.
bool PrepareGlTarget(HWND window, DWORD width, DWORD height, DWORD bpp);
// True when the target is built and its context is current.
bool MakeGlTargetCurrent();
// Binds the scene for drawing, when it is not bound already. The first draw of
// a frame chooses where the scene goes: straight into the window when the
// picture fills it pixel for pixel and the window can round it to 16 bits
// in place (when it must), else the scene's own target.
void BindSceneFramebuffer();
// Makes the program that rounds the window's picture in place; false when GL
// cannot read the pixel a shader writes.
bool PrepareInPlaceRounding();
// Forgets what GL was told; the next draw sets everything again.
void ForgetGlState();

// Shows the scene letterboxed in the window as a display of the mode's depth
// would (16-bit rounding and dithering for 16-bit modes), writes due captures
// and counts the frame.
void PresentGlTarget(bool waitForVsync);
// The picture of the last present, top row first, four bytes a pixel (red,
// green, blue, 255); empty when there is none. Valid until the next scene
// begins to draw. A frame drawn straight into the window can be read during
// its present (captures), and afterwards only with pictures kept.
std::vector<uint8_t> ReadPresentedPicture();
// Keeps a copy of every presented picture, so that it can be read after the
// present (tests); it costs a software renderer a pass over the picture.
void KeepPresentedPictures(bool keep);
// Where the picture lands in a window of the given size: scaled to fit with
// its aspect kept, centred.
struct Letterbox {
  int x, y, width, height;
};
Letterbox FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// ---------------------------------------------------------------------------
// Capture (capture.cpp)

// Writes DIR/<t>.png for every capture time t that the clock reading `now` has
// reached and that has no picture yet. Reads GLIMMERZ_CAPTURE_DIR and
// GLIMMERZ_CAPTURE_AT once.
void CaptureDueFrames(DWORD now);
// Forgets the capture settings, so the next frame reads them again (tests).
void ResetCapture();
// Writes an RGBA picture (top row first) as a PNG without its alpha.
bool WritePng(const char* path, const uint8_t* rgba, int width, int height);

// ---------------------------------------------------------------------------
// Objects

struct DirectDrawObject;
struct DirectDrawSurface;

// A new DirectDraw object (CoCreateInstance of CLSID_DirectDraw).
HRESULT CreateDirectDrawObject(REFIID iid, void** object);

IDirectDraw4* DirectDrawInterface(DirectDrawObject* directDraw);
// The DirectDraw object's window and display mode, for Direct3D and Flip.
HWND DirectDrawWindow(DirectDrawObject* directDraw);
bool DirectDrawMode(DirectDrawObject* directDraw, DisplayMode* mode);

// Surfaces (ddraw_surface.cpp)
HRESULT CreateFlipChain(DirectDrawObject* owner, LPDIRECTDRAWSURFACE4* primary);
HRESULT CreateTextureSurface(DirectDrawObject* owner, const DDSURFACEDESC2& desc, LPDIRECTDRAWSURFACE4* surface);
// The port's surface behind an interface pointer, or null for a stranger's.
DirectDrawSurface* PortSurface(IDirectDrawSurface4* surface);
DirectDrawSurface* PortTexture(IDirect3DTexture2* texture);
IDirectDrawSurface4* SurfaceInterface(DirectDrawSurface* surface);
bool IsRenderTarget(DirectDrawSurface* surface);
// The display mode a flip-chain surface was made for.
bool SurfaceMode(DirectDrawSurface* surface, DisplayMode* mode);
DirectDrawObject* SurfaceOwner(DirectDrawSurface* surface);
// Binds the texture to GL texture unit 0, uploading it first when GL has no
// current copy; false when it has no texels.
bool BindSurfaceTexture(DirectDrawSurface* surface, DWORD magFilter, DWORD minFilter, DWORD addressU,
                        DWORD addressV);

// What GL holds of a texture, in the texture's own format, rows packed; false
// when GL has no copy.
bool ReadTextureFromGl(DirectDrawSurface* surface, std::vector<uint8_t>* texels);

// Direct3D (d3d_object.cpp, d3d_viewport.cpp, d3d_device.cpp)
HRESULT CreateDirect3DObject(DirectDrawObject* directDraw, void** object);
HRESULT CreateViewportObject(IDirect3DViewport3** viewport);
// The viewport's last SetViewport2 data; false before any.
bool ViewportData(IDirect3DViewport3* viewport, D3DVIEWPORT2* data);

// What a draw needs from its device (d3d_draw.cpp).
struct DrawState {
  const DWORD* renderStates;  // indexed by D3DRENDERSTATETYPE, below RenderStateCount
  const DWORD* stageStates;   // stage 0, indexed by D3DTEXTURESTAGESTATETYPE, below StageStateCount
  const D3DMATRIX* world;
  const D3DMATRIX* view;
  const D3DMATRIX* projection;
  uint32_t transformSerial;  // changes with every transform or viewport change of any device
  D3DVIEWPORT2 viewport;
  DirectDrawSurface* texture;
};
const int RenderStateCount = 160;
const int StageStateCount = 32;
// Draws the vertices into the scene; the caller has checked the arguments.
HRESULT DrawVertices(const DrawState& state, D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                     DWORD count);
// The stride of a vertex format, or 0 when the port cannot draw it.
DWORD VertexStride(DWORD vertexFormat);

HRESULT CreateDeviceObject(DirectDrawObject* directDraw, REFCLSID deviceType, DirectDrawSurface* target,
                           IDirect3DDevice3** device);
