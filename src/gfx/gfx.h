// The graphics device layer: the one DirectDraw/Direct3D device, bitmaps turned
// into textures, the matrix helpers and fixed camera, the drawing primitives and
// the text drawn from the glyph sheet.
#pragma once

#include <cstdint>
#include <vector>

#include "platform.h"

// ---- Pictures and textures -------------------------------------------------

// 0xAARRGGBB, top row first; pixel (x, y) is pixels[y * width + x].
struct PixelImage {
  std::vector<DWORD> pixels;
  DWORD width;
  DWORD height;
};

// A 16-bit texture: the surface and the texture interface drawn with. Empty
// when both are null.
struct TextureSlot {
  IDirectDrawSurface4* surface;
  IDirect3DTexture2* texture;
};

enum TextureId : int32_t { Font = 0, Glow = 1, Bulb = 2, RockBlob = 3, Rock = 4, WarningSign = 5 };
const int TextureCount = 6;

// How CreateTexture turns a picture into texels.
enum TextureBuild : int32_t { Opaque = 0, IntensityAlpha = 1 };

// Resource ids of the pictures the textures are built from.
const int GlyphSheetBitmap = 111;
const int GlowBitmap = 114;
const int BulbBitmap = 115;
const int BulbAlphaBitmap = 116;
const int RockBitmap = 117;
const int RockBlobAlphaBitmap = 118;
const int WarningSignBitmap = 119;
const int WarningSignAlphaBitmap = 120;

// A BITMAP resource of this module; 1 with the picture, or 0 leaving image empty.
int DecodeBitmapResource(int id, PixelImage* image);
// The same for the bytes of a bitmap without file header; never reads past size.
int DecodeBitmap(const BYTE* bytes, DWORD size, PixelImage* image);

int CreateTexture(TextureSlot* slot, int bitmapId, int build);
int CreateAlphaTexture(TextureSlot* slot, int colourBitmapId, int alphaBitmapId);
void ReleaseTexture(TextureSlot* slot);
void BindTexture(const TextureSlot* slot);

// ---- The device -------------------------------------------------------------

struct RenderDevice {
  DWORD displayWidth;
  DWORD displayHeight;
  DWORD displayBpp;
  IDirectDraw4* directDraw;
  IDirectDrawSurface4* primarySurface;
  IDirectDrawSurface4* backBuffer;
  IDirect3D3* direct3D;
  IDirect3DDevice3* device;
  IDirect3DViewport3* viewport;
  TextureSlot textures[TextureCount];
  GUID driverGuid;
  GUID* driverGuidPtr;
  GUID deviceGuid;
};

extern RenderDevice renderDevice;

int SetUpRenderDevice();
void TearDownRenderDevice();
void SetInitialRenderStates();

// Releases a held interface, if any, and forgets it; safe to repeat.
template <class Interface>
void ReleaseInterface(Interface*& held) {
  if (held) held->Release();
  held = nullptr;
}

// ---- Transforms ---------------------------------------------------------------
// Row vectors, translation in the fourth row. Every rotation turns clockwise on
// the screen for a positive angle.

D3DMATRIX MakeZeroMatrix();
void MakeIdentityMatrix(D3DMATRIX& m);
void MakeTranslationMatrix(D3DMATRIX& m, float x, float y, float z);
// r = b x a (note the order): (translation, rotation, translation) gives "turn,
// then move". r may be a or b.
void MultiplyMatrices(const D3DMATRIX& a, const D3DMATRIX& b, D3DMATRIX& r);
D3DMATRIX MakeProjectionMatrix(float nearPlane, float farPlane, float fovH, float fovV);
void MakeRotationX(D3DMATRIX& m, float angle);
void MakeRotationY(D3DMATRIX& m, float angle);
void MakeRotationZ(D3DMATRIX& m, float angle);

// ---- Drawing primitives -------------------------------------------------------

struct QuadVertex {  // world position, 0x142
  float x, y, z;
  D3DCOLOR color;
  float tu, tv;
};
struct ScreenTexVertex {  // pixels from the top-left, 0x144
  float x, y, z, rhw;
  D3DCOLOR color;
  float tu, tv;
};
struct ScreenColorVertex {  // pixels from the top-left, 0x44
  float x, y, z, rhw;
  D3DCOLOR color;
};
const DWORD QuadVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const DWORD ScreenTexVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const DWORD ScreenColorVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

// Model-space quads, corners top-left, top-right, bottom-right, bottom-left.
// Positions never change; each draw writes its colours (and text its texture
// coordinates).
extern QuadVertex glyphQuad[4];
extern QuadVertex bulbQuad[4];
extern QuadVertex rockBlobQuad[4];
extern QuadVertex glowQuad[4];
extern QuadVertex signQuad[4];

// A texture with its blend states; 0 is none.
enum DrawMode : int32_t {
  TextMode = 1,
  BulbMode = 2,
  GlowMode = 3,
  FlatMode = 4,
  RockBlobMode = 5,
  SignMode = 6,
  RockMode = 7
};
extern DrawMode currentDrawMode;
void SelectDrawMode(DrawMode mode);

// Quads turned by angle about z (clockwise on the screen), then moved to (x, y, z).
void DrawGlow(float x, float y, float z, D3DCOLOR colour, float angle);
void DrawBulb(float x, float y, float z, D3DCOLOR colour, float angle);
void DrawRockBlob(float x, float y, float z, D3DCOLOR colour, float angle);
void DrawSign(float x, float y, float z, D3DCOLOR colour, float angle);
// The rock over the whole screen, each corner's texture coordinate circling
// with its own phase.
void DrawBackdrop(D3DCOLOR colour, float phase0, float phase1, float phase2, float phase3);
// The whole screen in a gradient, one colour per corner.
void FillScreen(D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomRight, D3DCOLOR bottomLeft);
// 0..limit (towards 0 for a negative limit), reaching limit rarely.
int RandomUpTo(float limit);

// ---- Text ---------------------------------------------------------------------

// World units from one character's centre to the next.
const float GlyphStep = 0.105f;

void DrawGlyph(int code, float x, float y, float z, D3DCOLOR colour);
void DrawString(const char* text, float x, float y, float z, D3DCOLOR colour);
void DrawRotatedString(const char* text, float x, float y, float z, float angleX, float angleY, float angleZ,
                       D3DCOLOR colour);
