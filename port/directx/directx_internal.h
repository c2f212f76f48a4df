// What the DirectDraw and Direct3D modules of the port share among themselves.
// The picture is drawn with OpenGL straight into the bound window when it fills
// the window pixel for pixel, else into an off-screen target of the display
// mode's size that is shown, scaled with its aspect kept, in the window.
#pragma once

#include <cstdint>
#include <string>
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
// Fills the bound GL texture from texels of the format, rows `pitch` bytes
// apart; and reads it back, rows packed, in the format (false where GL cannot).
// Desktop GL takes the formats as they are (texture_formats.cpp); ES is given
// them widened to 8 bits a channel, which is what desktop GL keeps of them too.
void UploadTexels(const TextureFormat& format, DWORD width, DWORD height, DWORD pitch, const uint8_t* texels);
bool ReadBoundTexels(const TextureFormat& format, DWORD width, DWORD height, std::vector<uint8_t>* texels);

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
// How many boards there are: the primary one at least.
int BoardCount();
bool BoardBounds(int board, int* x, int* y, int* width, int* height);
// Moves a window that covers one monitor onto the board's monitor.
void PlaceWindowOnBoard(HWND window, int board);
// Fills a mode description as EnumDisplayModes hands it out.
void DescribeDisplayMode(const DisplayMode& mode, DDSURFACEDESC2* desc);

// ---------------------------------------------------------------------------
// The GL target (gl_target.cpp) and its 16-bit rounding (gl_rounding.cpp)

// The way a frame reaches the window. A window of the picture's size holds the
// scene itself (rounded there to 16 bits when the mode has them), which spares
// a software renderer a pass over every pixel; any other goes through the
// scene's own target, scaled and rounded on the way.
enum class PresentPath { SceneTarget, Straight, StraightRounded };

// Makes the window's context current and the target the mode's size, and
// chooses the path again when the window's size has changed; false when the
// window has no GL context.
bool PrepareGlTarget(HWND window, DWORD width, DWORD height, DWORD bpp);
// True when the target is built and its context is current.
bool MakeGlTargetCurrent();
// The path frames take now (tests).
PresentPath ChosenPresentPath();
// The framebuffer the scene is drawn into: the frame's first draw fixes it to
// the path chosen for the window.
unsigned SceneFramebuffer();
// Whether GL clips depth to 0..1 as Direct3D does, and how many contexts the
// target has been built in (a texture uploaded in an earlier one uploads again).
bool GlClipsDepth();
uint32_t GlTargetGeneration();

// What the draws last told GL (gl_draw.cpp): anything else that touches the
// context must forget it, so that the next draw sets everything again, and
// must first let the draws waiting in the batch (gl_batch.cpp) reach GL.
void ForgetGlState();
void FlushGlDraws();
// Binds a texture to unit 0 unless it is bound already.
void BindGlTexture(unsigned name);

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
// Spreads the rounding error of 16-bit pictures in an ordered pattern.
void DitherPresentedPictures(bool dither);
// Where the picture lands in a window of the given size: scaled to fit with
// its aspect kept, centred.
struct Letterbox {
  int x, y, width, height;
};
Letterbox FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);
// Readies the window's framebuffer for a picture of the given size: where it
// lands, with black cleared around it when it leaves a margin (gl_program.cpp).
Letterbox ClearAroundPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);
// Copies a framebuffer's picture of the given size into the box of the
// window's framebuffer, pixel for pixel when the box has its size.
void BlitPicture(unsigned source, int pictureWidth, int pictureHeight, const Letterbox& box);

// A program that rounds to 16 bits the scene's target on its way to another
// framebuffer, or (in place) the window's pixels where they lie; 0 when GL
// cannot.
unsigned MakeRoundingProgram(bool inPlace);
// RoundTo16Bits(colour, pixel) and its uniform `dither`, in GLSL (gl_rounding_rule.cpp).
extern const char* const RoundTo16BitsSource;
// Runs a rounding program over the viewport of the bound framebuffer; the
// scene's texture is 0 for a program made to round in place.
void DrawRounded(unsigned program, bool dither, unsigned sceneTexture, DWORD width, DWORD height);

// ---------------------------------------------------------------------------
// Capture (capture.cpp)

// Writes DIR/<t>.png of the presented picture, of the given size, for every
// capture time t that the clock reading `now` has reached and that has no
// picture yet. Reads GLIMMERZ_CAPTURE_DIR and GLIMMERZ_CAPTURE_AT once.
void CaptureDueFrames(DWORD now, int width, int height);
// Forgets the capture settings, so the next frame reads them again (tests).
void ResetCapture();
// Writes an RGBA picture (top row first) as a PNG without its alpha.
bool WritePng(const char* path, const uint8_t* rgba, int width, int height);
// Where captures go (capture_png.cpp on Linux, the page's in a browser): made
// ready before the first, then one RGBA picture (top row first) for each of
// the times due at one frame.
void PrepareCaptureStore(const std::string& place);
void StoreCapture(const std::string& place, const std::vector<DWORD>& times, const uint8_t* rgba, int width,
                  int height);

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
// Uploads the texture when GL has no current copy of its texels; false when
// it is no texture.
bool UploadSurfaceTexture(DirectDrawSurface* surface);
// Binds the texture to GL texture unit 0, uploading it first when GL has no
// current copy; false when it has no texels.
bool BindSurfaceTexture(DirectDrawSurface* surface, DWORD magFilter, DWORD minFilter, DWORD addressU, DWORD addressV);
// Whether the texture's format holds no alpha, so that it draws opaque.
bool TextureOpaque(DirectDrawSurface* surface);

// What GL holds of a texture, in the texture's own format, rows packed; false
// when GL has no copy.
bool ReadTextureFromGl(DirectDrawSurface* surface, std::vector<uint8_t>* texels);

// Direct3D (d3d_object.cpp, d3d_viewport.cpp, d3d_device.cpp)
HRESULT CreateDirect3DObject(DirectDrawObject* directDraw, void** object);
HRESULT CreateViewportObject(IDirect3DViewport3** viewport);
// The viewport's last SetViewport2 data; false before any.
bool ViewportData(IDirect3DViewport3* viewport, D3DVIEWPORT2* data);

// What a draw needs from its device (gl_draw.cpp).
struct DrawState {
  const DWORD* renderStates;  // indexed by D3DRENDERSTATETYPE, below RenderStateCount
  const DWORD* stageStates;   // stage 0, indexed by D3DTEXTURESTAGESTATETYPE, below StageStateCount
  const D3DMATRIX* world;
  const D3DMATRIX* view;
  const D3DMATRIX* projection;
  uint32_t transformSerial;  // changes with every transform or viewport change of any device
  D3DVIEWPORT2 viewport;
  DirectDrawSurface* texture;
  DisplayMode targetMode;  // the picture's size
};
const int RenderStateCount = 160;
const int StageStateCount = 32;
// How a vertex format lies in memory (d3d_vertices.cpp).
struct VertexLayout {
  DWORD stride;
  bool preTransformed;
  int diffuse;  // byte offsets, -1 when absent
  int texture;
};
VertexLayout LayoutOf(DWORD format);
// The draw's blend factors in GL's names.
void GlBlendFactors(const DrawState& state, unsigned* source, unsigned* destination);
// World, view, projection and the move into GL's clip space in one matrix,
// made again only when one of them changes.
const D3DMATRIX& CombinedMatrix(const DrawState& state);
// Four clip-space coordinates a vertex, valid until the next call: model
// positions through the combined matrix, or screen positions with 1/rhw as w
// (so colours and texture coordinates interpolate with perspective).
const float* TransformPositions(const uint8_t* vertices, DWORD count, DWORD stride, const D3DMATRIX& m);
const float* ClipPositions(const uint8_t* vertices, DWORD count, DWORD stride, const D3DVIEWPORT2& vp);
// True for a frame's opening fill of the whole picture with one opaque colour,
// which a clear draws for a fraction of the work; its colour then in *colour.
// Whether every vertex is opaque (one without a colour is opaque white).
bool VerticesOpaque(const VertexLayout& layout, const uint8_t* vertices, DWORD count);
// Whether blending can change what the draw leaves: source-alpha blending of
// opaque fragments leaves the source as it is, to the last bit.
bool BlendsVisibly(const DrawState& state, bool opaque);
bool FillsPictureWithOneColour(const DrawState& state, D3DPRIMITIVETYPE type, const VertexLayout& layout,
                               const uint8_t* vertices, DWORD count, D3DCOLOR* colour);
// The octagon around a texture's visible texels (texture_hull.cpp): outside
// it every sample has alpha 0, or for a texture without alpha, is black. Not
// usable when a visible texel lies on the border, where wrapping reaches round
// to the other side.
struct TextureHull {
  bool usable = false;
  bool ofColour = false;        // it bounds colour, the texture having no alpha
  float width = 0, height = 0;  // the texture's, in texels
  float limit[8] = {};          // the octagon's sides, in texels
};
void FindTextureHull(const TextureFormat& format, DWORD width, DWORD height, DWORD pitch, const uint8_t* texels,
                     TextureHull* hull);
// The texture's hull as last uploaded, or null.
const TextureHull* SurfaceHull(DirectDrawSurface* surface);
// Cuts a flat quad of one colour (a four-vertex fan, untransformed, its
// texture coordinates within the texture) down to the hull, as a fan of at
// most twelve vertices in the same format; false when it is not such a quad
// or lies within the hull already. A count of 0 leaves nothing to draw.
bool TrimToTextureHull(const TextureHull& hull, D3DPRIMITIVETYPE type, const VertexLayout& layout,
                       const uint8_t* vertices, DWORD count, std::vector<uint8_t>* trimmed, DWORD* trimmedCount);
// Draws the vertices into the scene; the caller has checked the arguments.
// What reaches GL at once is a clear; other draws wait in the batch.
HRESULT DrawVertices(const DrawState& state, D3DPRIMITIVETYPE type, DWORD vertexFormat, const void* vertices,
                     DWORD count);
// The stride of a vertex format, or 0 when the port cannot draw it.
DWORD VertexStride(DWORD vertexFormat);

// The batch (gl_batch.cpp): draws of equal keys, one after another, reach GL
// as one draw of their vertices.
struct GlDrawKey {
  uint32_t generation = 0;  // the context's
  unsigned framebuffer = 0;
  int viewport[4] = {0, 0, 0, 0};         // in GL's frame
  DirectDrawSurface* texture = nullptr;   // null: the draw shows no texture
  DWORD textureStates[4] = {0, 0, 0, 0};  // its filters (mag, min) and addressing (u, v)
  int program = 0;                        // the kind of draw program (gl_draw.cpp)
  bool blend = false;
  unsigned blendSource = 0;  // GL's factors, 0 without blending
  unsigned blendDestination = 0;
  int cull = 0;            // the face GL culls, 0 for none
  unsigned primitive = 0;  // GL's list primitive: triangles, lines or points
};
// A vertex as the batch hands it to GL.
struct StreamVertex {
  float position[4];   // clip space
  uint8_t diffuse[4];  // a D3DCOLOR's bytes
  float texel[2];
};
// The list primitive a Direct3D primitive's parts are drawn as.
unsigned GlPrimitiveOf(D3DPRIMITIVETYPE type);
// Adds a primitive's parts to the batch, first drawing what waits there when
// the key differs; a draw `alone` reaches GL at once by itself.
void AppendToGlBatch(const GlDrawKey& key, D3DPRIMITIVETYPE type, const StreamVertex* vertices, DWORD count,
                     bool alone);
// Sets GL's state as the key says, with the stream's buffer bound; false when
// GL cannot draw so (gl_draw.cpp).
bool ApplyGlDrawKey(const GlDrawKey& key);
// Whether draws wait in the batch; and how many draws have reached GL (tests).
bool GlDrawsWaiting();
uint32_t GlDrawsMade();

HRESULT CreateDeviceObject(DirectDrawObject* directDraw, REFCLSID deviceType, DirectDrawSurface* target,
                           IDirect3DDevice3** device);
