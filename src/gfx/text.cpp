// Letters are small quads cut from the 16 x 16 glyph sheet, one draw each, set
// at a fixed step along the world x axis.
#include "gfx/gfx.h"

namespace {

const float CellSize = 1.0f / 16.0f;

// The glyph quad's texture coordinates for one character's cell.
void PointGlyphQuadAt(int code) {
  const int cell = code & 0xFF;
  const float left = (float)(cell % 16) / 16.0f;
  const float top = (float)(cell / 16) / 16.0f;
  glyphQuad[0].tu = left;
  glyphQuad[0].tv = top;
  glyphQuad[1].tu = left + CellSize;
  glyphQuad[1].tv = top;
  glyphQuad[2].tu = left + CellSize;
  glyphQuad[2].tv = top + CellSize;
  glyphQuad[3].tu = left;
  glyphQuad[3].tv = top + CellSize;
}

void ColourGlyphQuad(D3DCOLOR colour) {
  for (int i = 0; i < 4; ++i) glyphQuad[i].color = colour;
}

void DrawGlyphQuad(IDirect3DDevice3* device) {
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, QuadVertexFormat, glyphQuad, 4, D3DDP_DONOTLIGHT);
}

}  // namespace

void DrawGlyph(int code, float x, float y, float z, D3DCOLOR colour) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  PointGlyphQuadAt(code);
  ColourGlyphQuad(colour);
  D3DMATRIX world;
  MakeTranslationMatrix(world, x, y, z);
  device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  SelectDrawMode(TextMode);
  DrawGlyphQuad(device);
}

void DrawString(const char* text, float x, float y, float z, D3DCOLOR colour) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  ColourGlyphQuad(colour);
  SelectDrawMode(TextMode);
  for (const char* c = text; *c; ++c) {
    PointGlyphQuadAt((BYTE)*c);
    D3DMATRIX world;
    MakeTranslationMatrix(world, x, y, z);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    DrawGlyphQuad(device);
    x = x + GlyphStep;
  }
}

void DrawRotatedString(const char* text, float x, float y, float z, float angleX, float angleY, float angleZ,
                       D3DCOLOR colour) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  // Rz x Ry x Rx: each letter turns about z, then y, then x, about its own
  // centre; the line itself stays along x.
  D3DMATRIX turnX;
  D3DMATRIX turnY;
  D3DMATRIX turnZ;
  D3DMATRIX turn;
  MakeRotationX(turnX, angleX);
  MakeRotationY(turnY, angleY);
  MakeRotationZ(turnZ, angleZ);
  MultiplyMatrices(turnX, turnY, turn);
  MultiplyMatrices(turn, turnZ, turn);
  ColourGlyphQuad(colour);
  SelectDrawMode(TextMode);
  for (const char* c = text; *c; ++c) {
    PointGlyphQuadAt((BYTE)*c);
    D3DMATRIX world;
    MakeTranslationMatrix(world, x, y, z);
    MultiplyMatrices(world, turn, world);
    device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
    DrawGlyphQuad(device);
    x = x + GlyphStep;
  }
}
