// One DrawPrimitive in OpenGL's fixed-function pipeline; what it means in GL's
// terms is worked out in d3d_vertices.cpp.
//
// Colours: a textured draw shows texture colour times vertex colour with the
// texture's alpha alone; an untextured one shows the vertex colour and alpha.
#include <cstring>

#include "directx_internal.h"
#include "gl_api.h"

namespace {
// What the draws last told GL, so that they set only what changed.
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
GlStateCache cache;

void SetFramebuffer(GLuint framebuffer) {
  if (cache.framebuffer != (long)framebuffer) glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  cache.framebuffer = (long)framebuffer;
}

void SetViewport(const D3DVIEWPORT2& vp, DWORD pictureHeight) {
  // GL counts rows from the bottom.
  int wanted[4] = {(int)vp.dwX, (int)pictureHeight - (int)vp.dwY - (int)vp.dwHeight, (int)vp.dwWidth,
                   (int)vp.dwHeight};
  if (cache.known && std::memcmp(cache.viewport, wanted, sizeof wanted) == 0) return;
  glViewport(wanted[0], wanted[1], wanted[2], wanted[3]);
  std::memcpy(cache.viewport, wanted, sizeof wanted);
}

void SetBlend(const DrawState& state) {
  bool blend = state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
  if (!cache.known || cache.blend != blend) {
    if (blend)
      glEnable(GL_BLEND);
    else
      glDisable(GL_BLEND);
    cache.blend = blend;
  }
  if (!blend) return;
  unsigned glSource, glDestination;
  GlBlendFactors(state, &glSource, &glDestination);
  if (!cache.known || cache.blendSource != glSource || cache.blendDestination != glDestination) {
    glBlendFunc(glSource, glDestination);
    cache.blendSource = glSource;
    cache.blendDestination = glDestination;
  }
}

// Under source-alpha blending a fragment of alpha 0 changes nothing; leaving
// it out spares a software renderer the blending of most of a glyph's quad.
void SetAlphaTest(const DrawState& state) {
  bool wanted = state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE] && cache.blendSource == GL_SRC_ALPHA &&
                cache.blendDestination == GL_ONE_MINUS_SRC_ALPHA;
  if (cache.known && cache.alphaTest == wanted) return;
  if (wanted) {
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
  } else {
    glDisable(GL_ALPHA_TEST);
  }
  cache.alphaTest = wanted;
}

void SetCull(const DrawState& state) {
  // The picture is upright in GL's frame, so clockwise on the screen is GL's
  // clockwise, its back face.
  int wanted = 0;
  switch (state.renderStates[D3DRENDERSTATE_CULLMODE]) {
    case D3DCULL_CW:
      wanted = GL_BACK;
      break;
    case D3DCULL_CCW:
      wanted = GL_FRONT;
      break;
    default:
      wanted = 0;
  }
  if (cache.known && cache.cull == wanted) return;
  if (wanted) {
    glEnable(GL_CULL_FACE);
    glCullFace((GLenum)wanted);
  } else {
    glDisable(GL_CULL_FACE);
  }
  cache.cull = wanted;
}

void SetTexture(const DrawState& state) {
  const DWORD* stage = state.stageStates;
  bool textured = state.texture && BindSurfaceTexture(state.texture, stage[D3DTSS_MAGFILTER],
                                                      stage[D3DTSS_MINFILTER], stage[D3DTSS_ADDRESSU],
                                                      stage[D3DTSS_ADDRESSV]);
  if (cache.known && cache.textureEnabled == textured) return;
  if (textured)
    glEnable(GL_TEXTURE_2D);
  else
    glDisable(GL_TEXTURE_2D);
  cache.textureEnabled = textured;
}

// GL's own matrices stay at identity: positions arrive in clip space. Changing
// them for every quad costs a software renderer more than the four products.
void SetMatrices() {
  if (cache.known && cache.matrices == 1) return;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  cache.matrices = 1;
}

void SetClientArrays(unsigned wanted) {
  unsigned had = cache.known ? cache.clientArrays : ~wanted;
  if ((had ^ wanted) & 1u) {
    if (wanted & 1u)
      glEnableClientState(GL_COLOR_ARRAY);
    else
      glDisableClientState(GL_COLOR_ARRAY);
  }
  if ((had ^ wanted) & 2u) {
    if (wanted & 2u)
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    else
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  cache.clientArrays = wanted;
}

}  // namespace

void ForgetGlState() { cache = GlStateCache(); }

void BindGlTexture(unsigned name) {
  if (cache.texture != name) glBindTexture(GL_TEXTURE_2D, name);
  cache.texture = name;
}

HRESULT DrawVertices(const DrawState& state, D3DPRIMITIVETYPE type, DWORD format, const void* vertices,
                     DWORD count) {
  if (!MakeGlTargetCurrent()) return D3DERR_INITFAILED;
  VertexLayout layout = LayoutOf(format);
  const auto* bytes = static_cast<const uint8_t*>(vertices);

  SetFramebuffer(SceneFramebuffer());
  D3DCOLOR fill;
  if (FillsPictureWithOneColour(state, type, layout, bytes, count, &fill)) {
    glClearColor(((fill >> 16) & 0xFF) / 255.0f, ((fill >> 8) & 0xFF) / 255.0f, (fill & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return D3D_OK;
  }
  SetViewport(state.viewport, state.targetMode.height);
  SetBlend(state);
  SetAlphaTest(state);
  SetCull(state);
  SetTexture(state);
  SetMatrices();
  unsigned arrays = (layout.diffuse >= 0 ? 1u : 0u) | (layout.texture >= 0 && cache.textureEnabled ? 2u : 0u);
  SetClientArrays(arrays);
  cache.known = true;

  if (layout.preTransformed)
    glVertexPointer(4, GL_FLOAT, 0, ClipPositions(bytes, count, layout.stride, state.viewport));
  else
    glVertexPointer(4, GL_FLOAT, 0, TransformPositions(bytes, count, layout.stride, CombinedMatrix(state)));
  if (arrays & 1u)
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, (GLsizei)layout.stride, bytes + layout.diffuse);
  else
    glColor4ub(255, 255, 255, 255);
  if (arrays & 2u)
    glTexCoordPointer(2, GL_FLOAT, (GLsizei)layout.stride, bytes + layout.texture);
  else
    glTexCoord2f(0.0f, 0.0f);
  glDrawArrays(GlPrimitive(type), 0, (GLsizei)count);
  return D3D_OK;
}
