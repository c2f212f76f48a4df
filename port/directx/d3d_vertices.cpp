// What a DrawPrimitive means whatever GL draws it: the layout of the vertex
// formats, Direct3D's blend factors in GL's terms, and the positions in GL's
// clip space.
//
// Direct3D puts pixel centres on whole coordinates and fills by the top-left
// rule: an edge running exactly through pixel centres takes the pixels on its
// right and below. GL's centres sit half a pixel further on, and how it settles
// such ties is its own affair (Mesa's software rasteriser leaves the top row
// out). So every position moves by half a pixel less a sliver: no edge the
// program draws then passes exactly through a GL pixel centre, and the pixels
// covered are Direct3D's. The picture is kept upright in GL's frame (its top
// row last in memory); depth runs 0..1 as in Direct3D, through the clip control
// where GL has it, else through the projection.
#include <cmath>
#include <cstring>

#include "directx_internal.h"
#include "gl_api.h"

namespace {
const DWORD PositionMask = 0x00E;
// A 64th of a pixel up and left: above a sub-pixel step of the rasterisers
// that matter, below anything visible.
const float Sliver = 1.0f / 64.0f;
const DWORD TextureCountMask = 0xF00;

}  // namespace

VertexLayout LayoutOf(DWORD format) {
  VertexLayout layout = {0, (format & PositionMask) == D3DFVF_XYZRHW, -1, -1};
  DWORD offset = layout.preTransformed ? 16 : 12;
  if (format & D3DFVF_NORMAL) offset += 12;
  if (format & D3DFVF_DIFFUSE) {
    layout.diffuse = (int)offset;
    offset += 4;
  }
  if (format & D3DFVF_SPECULAR) offset += 4;
  DWORD textureSets = (format & TextureCountMask) >> 8;
  if (textureSets > 0) layout.texture = (int)offset;
  offset += 8 * textureSets;
  layout.stride = offset;
  return layout;
}

namespace {
GLenum GlBlend(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
    case D3DBLEND_BOTHSRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
    case D3DBLEND_BOTHINVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
      return GL_SRC_ALPHA_SATURATE;
    default:
      return GL_ONE;
  }
}
}  // namespace

void GlBlendFactors(const DrawState& state, unsigned* source, unsigned* destination) {
  DWORD d3dSource = state.renderStates[D3DRENDERSTATE_SRCBLEND];
  *source = GlBlend(d3dSource);
  *destination = GlBlend(state.renderStates[D3DRENDERSTATE_DESTBLEND]);
  // The "both" factors set the destination too, whatever it says.
  if (d3dSource == D3DBLEND_BOTHSRCALPHA) *destination = GL_ONE_MINUS_SRC_ALPHA;
  if (d3dSource == D3DBLEND_BOTHINVSRCALPHA) *destination = GL_SRC_ALPHA;
}

bool VerticesOpaque(const VertexLayout& layout, const uint8_t* vertices, DWORD count) {
  if (layout.diffuse < 0) return true;
  for (DWORD i = 0; i < count; ++i)
    if (vertices[(size_t)i * layout.stride + (size_t)layout.diffuse + 3] != 0xFF)
      return false;  // a D3DCOLOR's alpha byte
  return true;
}

bool BlendsVisibly(const DrawState& state, bool opaque) {
  if (!state.renderStates[D3DRENDERSTATE_ALPHABLENDENABLE]) return false;
  unsigned source, destination;
  GlBlendFactors(state, &source, &destination);
  return !(opaque && source == GL_SRC_ALPHA && destination == GL_ONE_MINUS_SRC_ALPHA);
}

namespace {
// Maps Direct3D's clip volume onto GL's, with the move described above, as a
// row-vector matrix applied after the projection.
D3DMATRIX ClipToGl(const D3DVIEWPORT2& vp) {
  D3DMATRIX m;
  std::memset(&m, 0, sizeof m);
  m._11 = 2.0f / vp.dvClipWidth;
  m._41 = -2.0f * vp.dvClipX / vp.dvClipWidth - 1.0f + (1.0f - 2.0f * Sliver) / (float)vp.dwWidth;
  m._22 = 2.0f / vp.dvClipHeight;
  m._42 = 1.0f - 2.0f * vp.dvClipY / vp.dvClipHeight - (1.0f - 2.0f * Sliver) / (float)vp.dwHeight;
  m._33 = 1.0f;
  m._44 = 1.0f;
  if (!GlClipsDepth()) {
    m._33 = 2.0f;  // depth 0..w becomes GL's -w..w
    m._43 = -1.0f;
  }
  return m;
}

// Row-vector product a x b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  const float* x = &a._11;
  const float* y = &b._11;
  D3DMATRIX r;
  float* out = &r._11;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      out[i * 4 + j] = x[i * 4] * y[j] + x[i * 4 + 1] * y[4 + j] + x[i * 4 + 2] * y[8 + j] + x[i * 4 + 3] * y[12 + j];
  return r;
}

struct Combined {
  uint32_t serial = 0;
  D3DVIEWPORT2 viewport = {};
  D3DMATRIX matrix;
};
Combined combined;
}  // namespace

const D3DMATRIX& CombinedMatrix(const DrawState& state) {
  if (combined.serial != state.transformSerial ||
      std::memcmp(&combined.viewport, &state.viewport, sizeof(D3DVIEWPORT2)) != 0) {
    D3DMATRIX m = Multiply(Multiply(*state.world, *state.view), *state.projection);
    combined.matrix = Multiply(m, ClipToGl(state.viewport));
    combined.serial = state.transformSerial;
    combined.viewport = state.viewport;
  }
  return combined.matrix;
}

namespace {
std::vector<float> clipPositions;
}  // namespace

// Model positions through the combined matrix to GL clip coordinates.
const float* TransformPositions(const uint8_t* vertices, DWORD count, DWORD stride, const D3DMATRIX& m) {
  clipPositions.resize((size_t)count * 4);
  for (DWORD i = 0; i < count; ++i) {
    float v[3];
    std::memcpy(v, vertices + (size_t)i * stride, sizeof v);
    float* out = &clipPositions[(size_t)i * 4];
    out[0] = v[0] * m._11 + v[1] * m._21 + v[2] * m._31 + m._41;
    out[1] = v[0] * m._12 + v[1] * m._22 + v[2] * m._32 + m._42;
    out[2] = v[0] * m._13 + v[1] * m._23 + v[2] * m._33 + m._43;
    out[3] = v[0] * m._14 + v[1] * m._24 + v[2] * m._34 + m._44;
  }
  return clipPositions.data();
}

// Screen positions to GL clip coordinates, keeping 1/rhw as w so that colours
// and texture coordinates interpolate with perspective as Direct3D's do.
const float* ClipPositions(const uint8_t* vertices, DWORD count, DWORD stride, const D3DVIEWPORT2& vp) {
  clipPositions.resize((size_t)count * 4);
  for (DWORD i = 0; i < count; ++i) {
    float v[4];
    std::memcpy(v, vertices + (size_t)i * stride, sizeof v);
    float w = (v[3] > 0.0f && std::isfinite(v[3])) ? 1.0f / v[3] : 1.0f;
    float x = 2.0f * (v[0] + 0.5f - Sliver - (float)vp.dwX) / (float)vp.dwWidth - 1.0f;
    float y = 1.0f - 2.0f * (v[1] + 0.5f - Sliver - (float)vp.dwY) / (float)vp.dwHeight;
    float* out = &clipPositions[(size_t)i * 4];
    out[0] = x * w;
    out[1] = y * w;
    out[2] = 0.0f;  // no depth buffer; Direct3D does not clip these by depth
    out[3] = w;
  }
  return clipPositions.data();
}
// A frame usually begins by filling the whole picture with one opaque colour
// through a screen-space quad. A clear gives the same pixels and costs a
// software renderer a fraction of shading every one of them.
bool FillsPictureWithOneColour(const DrawState& state, D3DPRIMITIVETYPE type, const VertexLayout& layout,
                               const uint8_t* vertices, DWORD count, D3DCOLOR* colour) {
  const D3DVIEWPORT2& vp = state.viewport;
  if (type != D3DPT_TRIANGLEFAN || count != 4 || !layout.preTransformed || layout.diffuse < 0 || state.texture ||
      BlendsVisibly(state, VerticesOpaque(layout, vertices, count)) ||
      state.renderStates[D3DRENDERSTATE_CULLMODE] == D3DCULL_CW || vp.dwX != 0 || vp.dwY != 0 ||
      vp.dwWidth != state.targetMode.width || vp.dwHeight != state.targetMode.height)
    return false;
  // Clockwise from the top left corner, exactly on the picture's edges.
  const float right = (float)vp.dwWidth, bottom = (float)vp.dwHeight;
  const float corners[4][2] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
  std::memcpy(colour, vertices + layout.diffuse, sizeof *colour);
  for (DWORD i = 0; i < 4; ++i) {
    float position[2];
    D3DCOLOR c;
    std::memcpy(position, vertices + (size_t)i * layout.stride, sizeof position);
    std::memcpy(&c, vertices + (size_t)i * layout.stride + layout.diffuse, sizeof c);
    if (position[0] != corners[i][0] || position[1] != corners[i][1] || c != *colour) return false;
  }
  return true;
}
DWORD VertexStride(DWORD format) {
  DWORD position = format & PositionMask;
  if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return 0;
  const DWORD known = PositionMask | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | TextureCountMask;
  if ((format & ~known) || ((format & TextureCountMask) >> 8) > 8) return 0;
  return LayoutOf(format).stride;
}
