// The show's handful of shapes: four turned quads, the rock backdrop and the
// full-screen gradient, each one triangle fan with its texture and blending
// chosen through a small cache of the last draw mode.
#include <cmath>

#include "gfx/gfx.h"

QuadVertex glyphQuad[4] = {
    {-0.1f, 0.1f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {0.1f, 0.1f, 0.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {0.1f, -0.1f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-0.1f, -0.1f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};
QuadVertex bulbQuad[4] = {
    {-0.35f, 0.5f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {0.35f, 0.5f, 0.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {0.35f, -0.5f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-0.35f, -0.5f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};
QuadVertex rockBlobQuad[4] = {
    {-1.5f, 1.5f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {1.5f, 1.5f, 0.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {1.5f, -1.5f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-1.5f, -1.5f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};
// Off centre on purpose: drawn with the bulb's position and angle, the glow
// sits over the upper part of the bulb.
QuadVertex glowQuad[4] = {
    {-0.46f, 0.67f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {0.54f, 0.67f, 0.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {0.54f, -0.32f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-0.46f, -0.32f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};
QuadVertex signQuad[4] = {
    {-1.75f, 1.0f, 0.0f, 0xFFFFFFFF, 0.0f, 0.0f},
    {1.75f, 1.0f, 0.0f, 0xFFFFFFFF, 1.0f, 0.0f},
    {1.75f, -1.0f, 0.0f, 0xFFFFFFFF, 1.0f, 1.0f},
    {-1.75f, -1.0f, 0.0f, 0xFFFFFFFF, 0.0f, 1.0f},
};

DrawMode currentDrawMode;

namespace {

struct DrawModeStates {
  int texture;  // TextureId, or -1 for none
  DWORD blending;
  DWORD sourceBlend;
  DWORD destinationBlend;
};

// Indexed by DrawMode - 1. Modes without blending leave the blend factors alone.
const DrawModeStates drawModeStates[] = {
    {Font, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {Bulb, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {Glow, TRUE, D3DBLEND_ONE, D3DBLEND_ONE},
    {-1, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {RockBlob, TRUE, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
    {WarningSign, FALSE, 0, 0},
    {Rock, FALSE, 0, 0},
};

void DrawTurnedQuad(QuadVertex* quad, DrawMode mode, float x, float y, float z, D3DCOLOR colour, float angle) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  SelectDrawMode(mode);
  for (int i = 0; i < 4; ++i) quad[i].color = colour;
  D3DMATRIX turn;
  D3DMATRIX world;
  MakeRotationZ(turn, angle);
  MakeTranslationMatrix(world, x, y, z);
  MultiplyMatrices(world, turn, world);
  device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world);
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, QuadVertexFormat, quad, 4, D3DDP_DONOTLIGHT);
}

}  // namespace

void SelectDrawMode(DrawMode mode) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  if (mode == currentDrawMode) return;
  if (mode >= TextMode && mode <= RockMode) {
    const DrawModeStates& states = drawModeStates[mode - TextMode];
    BindTexture(states.texture < 0 ? nullptr : &renderDevice.textures[states.texture]);
    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, states.blending);
    if (states.blending) {
      device->SetRenderState(D3DRENDERSTATE_SRCBLEND, states.sourceBlend);
      device->SetRenderState(D3DRENDERSTATE_DESTBLEND, states.destinationBlend);
    }
  }
  currentDrawMode = mode;
}

void DrawGlow(float x, float y, float z, D3DCOLOR colour, float angle) {
  DrawTurnedQuad(glowQuad, GlowMode, x, y, z, colour, angle);
}

void DrawBulb(float x, float y, float z, D3DCOLOR colour, float angle) {
  DrawTurnedQuad(bulbQuad, BulbMode, x, y, z, colour, angle);
}

void DrawRockBlob(float x, float y, float z, D3DCOLOR colour, float angle) {
  DrawTurnedQuad(rockBlobQuad, RockBlobMode, x, y, z, colour, angle);
}

void DrawSign(float x, float y, float z, D3DCOLOR colour, float angle) {
  DrawTurnedQuad(signQuad, SignMode, x, y, z, colour, angle);
}

void DrawBackdrop(D3DCOLOR colour, float phase0, float phase1, float phase2, float phase3) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  SelectDrawMode(RockMode);
  const float w = (float)renderDevice.displayWidth;
  const float h = (float)renderDevice.displayHeight;
  const float phases[4] = {phase0, phase1, phase2, phase3};
  ScreenTexVertex corners[4] = {
      {0.0f, 0.0f, 1.0f, 1.0f, colour, 0.0f, 0.0f},
      {w, 0.0f, 1.0f, 1.0f, colour, 1.0f, 0.0f},
      {w, h, 1.0f, 1.0f, colour, 1.0f, 1.0f},
      {0.0f, h, 1.0f, 1.0f, colour, 0.0f, 1.0f},
  };
  // Each corner's texture point circles on its own, so the rock seems to
  // breathe rather than slide.
  for (int k = 0; k < 4; ++k) {
    corners[k].tu += 0.25f * (float)std::sin((double)phases[k]);
    corners[k].tv += 0.25f * (float)std::cos((double)phases[k]);
  }
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenTexVertexFormat, corners, 4, D3DDP_DONOTLIGHT);
}

void FillScreen(D3DCOLOR topLeft, D3DCOLOR topRight, D3DCOLOR bottomRight, D3DCOLOR bottomLeft) {
  IDirect3DDevice3* device = renderDevice.device;
  if (!device) return;
  const float w = (float)renderDevice.displayWidth;
  const float h = (float)renderDevice.displayHeight;
  ScreenColorVertex corners[4] = {
      {0.0f, 0.0f, 1.0f, 1.0f, topLeft},
      {w, 0.0f, 1.0f, 1.0f, topRight},
      {w, h, 1.0f, 1.0f, bottomRight},
      {0.0f, h, 1.0f, 1.0f, bottomLeft},
  };
  SelectDrawMode(FlatMode);
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, ScreenColorVertexFormat, corners, 4, D3DDP_DONOTLIGHT);
}
