// What GL state a DrawPrimitive needs, the same on desktop GL and WebGL 2
// (which has no fixed-function pipeline): one shader source, built as a
// program for each kind of draw. A textured draw shows texture colour times
// vertex colour with the texture's alpha alone, an untextured one the vertex
// colour and alpha; under source-alpha blending a fragment of alpha 0 is left
// out, which changes nothing and spares a software renderer the blending of
// most of a glyph's quad, and an opaque draw is not blended at all
// (BlendsVisibly). Positions arrive in clip space, worked out in
// d3d_vertices.cpp; GL's own matrices are never used, so draws under different
// transforms share one GL draw (gl_batch.cpp).
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "directx_internal.h"
#include "gl_api.h"
#include "gl_program.h"

namespace {
// Each draw's program is built from these for what it needs (ProgramKind):
// a software renderer runs every instruction of a fragment shader for every
// pixel, so a branch on a uniform or a texel the draw does not read costs it as
// much as one it does.
const char* const drawVertex = R"(
in vec4 position;
in vec4 diffuse;  // the bytes of a D3DCOLOR: blue, green, red, alpha
out vec4 colour;
#if TEXTURED
in vec2 texel;
out vec2 texelAt;
#endif
void main() {
  gl_Position = position;
  gl_PointSize = 1.0;
  colour = diffuse.zyxw;
#if TEXTURED
  texelAt = texel;
#endif
}
)";

const char* const drawFragment = R"(
in vec4 colour;
out vec4 shown;
#if TEXTURED
uniform sampler2D texture0;
in vec2 texelAt;
#endif
void main() {
#if TEXTURED
  vec4 t = texture(texture0, texelAt);
  vec4 c = vec4(t.rgb * colour.rgb, t.a);
#else
  vec4 c = colour;
#endif
#if SKIP_CLEAR
  if (c.a <= 0.0) discard;
#endif
  shown = c;
}
)";

// Bit 0: the draw is textured; bit 1: its fragments of alpha 0 are left out.
enum ProgramKind { Plain = 0, Textured = 1, SkipsClear = 2, KindCount = 4 };

enum Attribute { Position = 0, Diffuse = 1, Texel = 2 };

// What GL was last told, so that a batch sets only what changed.
struct GlStateCache {
  bool known = false;
  long framebuffer = -1;
  int viewport[4] = {0, 0, 0, 0};
  unsigned texture = 0;
  int program = -1;  // ProgramKind
  bool blend = false;
  unsigned blendSource = 0;
  unsigned blendDestination = 0;
  int cull = -1;
};
GlStateCache cache;

// Each kind's program is made at its first draw, so that a start compiles
// only what its first frame needs.
struct DrawPrograms {
  uint32_t generation = 0;  // the context's they were made in; contexts count from 1
  GLuint programs[KindCount] = {};
  bool refused[KindCount] = {};
  GLuint stream = 0;  // the batches' vertices, refilled by each
};
DrawPrograms drawing;

GLuint MakeDrawProgram(unsigned kind) {
  char defines[64];
  std::snprintf(defines, sizeof defines, "#define TEXTURED %u\n#define SKIP_CLEAR %u\n", kind & Textured ? 1u : 0u,
                kind & SkipsClear ? 1u : 0u);
  std::string vertex = std::string(defines) + drawVertex;
  std::string fragment = std::string(defines) + drawFragment;
  GLuint program = MakeGlProgram(vertex.c_str(), fragment.c_str());
  if (!program) return 0;
  glBindAttribLocation(program, Position, "position");
  glBindAttribLocation(program, Diffuse, "diffuse");
  glBindAttribLocation(program, Texel, "texel");
  glLinkProgram(program);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "texture0"), 0);
  return program;
}

void StartDrawing() {
  if (drawing.generation == GlTargetGeneration()) return;
  drawing = DrawPrograms();
  drawing.generation = GlTargetGeneration();
  glGenBuffers(1, &drawing.stream);
  ForgetGlState();
}

// False when GL refuses the kind's program.
bool MakeProgram(int kind) {
  if (!drawing.programs[kind] && !drawing.refused[kind]) {
    drawing.programs[kind] = MakeDrawProgram((unsigned)kind);
    drawing.refused[kind] = drawing.programs[kind] == 0;
    cache.program = -1;  // whichever was in use is no longer
  }
  return drawing.programs[kind] != 0;
}

void SetFlag(bool wanted, bool* known, GLenum capability) {
  if (cache.known && *known == wanted) return;
  if (wanted)
    glEnable(capability);
  else
    glDisable(capability);
  *known = wanted;
}

void SetBlend(const GlDrawKey& key) {
  SetFlag(key.blend, &cache.blend, GL_BLEND);
  if (!key.blend) return;
  if (cache.known && cache.blendSource == key.blendSource && cache.blendDestination == key.blendDestination) return;
  glBlendFunc(key.blendSource, key.blendDestination);
  cache.blendSource = key.blendSource;
  cache.blendDestination = key.blendDestination;
}

void SetCull(int wanted) {
  if (cache.known && cache.cull == wanted) return;
  if (wanted) {
    glEnable(GL_CULL_FACE);
    glCullFace((GLenum)wanted);
  } else {
    glDisable(GL_CULL_FACE);
  }
  cache.cull = wanted;
}

void BindFramebuffer(GLuint framebuffer) {
  if (cache.framebuffer != (long)framebuffer) glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  cache.framebuffer = (long)framebuffer;
}

// Every draw goes through the one stream: a vertex without a colour is opaque
// white there, and the programs that draw without a texture ignore its
// coordinates.
void SetStream() {
  glBindBuffer(GL_ARRAY_BUFFER, drawing.stream);
  if (cache.known) return;
  const GLsizei stride = sizeof(StreamVertex);
  for (GLuint attribute : {Position, Diffuse, Texel}) glEnableVertexAttribArray(attribute);
  glVertexAttribPointer(Position, 4, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(StreamVertex, position)));
  glVertexAttribPointer(Diffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<const void*>(offsetof(StreamVertex, diffuse)));
  glVertexAttribPointer(Texel, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<const void*>(offsetof(StreamVertex, texel)));
}

// Whether any position lies outside the view volume, where GL must clip.
bool NeedsClipping(const float* positions, DWORD count) {
  const float nearest = GlClipsDepth() ? 0.0f : -1.0f;
  for (DWORD i = 0; i < count; ++i) {
    const float* p = positions + (size_t)i * 4;
    float w = p[3];
    if (!(w > 0.0f) || std::fabs(p[0]) > w || std::fabs(p[1]) > w || p[2] < nearest * w || p[2] > w) return true;
  }
  return false;
}

// Whether the quad shows its texture at most eight texels to a pixel along
// every side. The rasteriser moves a corner up to a small fraction of a pixel
// to its own grid, and a cut edge's corners land elsewhere than the quad's:
// seen any smaller, that fraction would reach past the hull's margin of a
// quarter texel, and the cut could take a pixel that shows something.
bool ShowsTexelsLargeEnough(const float* positions, const VertexLayout& layout, const uint8_t* vertices, DWORD count,
                            const D3DVIEWPORT2& vp, const TextureHull& hull) {
  for (DWORD k = 0; k < count; ++k) {
    const float *a = positions + (size_t)k * 4, *b = positions + (size_t)((k + 1) % count) * 4;
    if (!(a[3] > 0.0f) || !(b[3] > 0.0f)) return false;
    float dx = (a[0] / a[3] - b[0] / b[3]) * (float)vp.dwWidth * 0.5f;
    float dy = (a[1] / a[3] - b[1] / b[3]) * (float)vp.dwHeight * 0.5f;
    float uv[2][2];
    std::memcpy(uv[0], vertices + (size_t)k * layout.stride + layout.texture, sizeof uv[0]);
    std::memcpy(uv[1], vertices + (size_t)((k + 1) % count) * layout.stride + layout.texture, sizeof uv[1]);
    float du = (uv[0][0] - uv[1][0]) * hull.width, dv = (uv[0][1] - uv[1][1]) * hull.height;
    if (!(du * du + dv * dv <= 64.0f * (dx * dx + dy * dy))) return false;
  }
  return true;
}

// The vertices in the stream's form: clip-space positions, the colour's bytes
// (opaque white when the format has none), texture coordinates or zeros.
const StreamVertex* StreamVertices(const float* positions, const VertexLayout& layout, const uint8_t* vertices,
                                   DWORD count, bool textured) {
  static std::vector<StreamVertex> converted;
  converted.resize(count);
  for (DWORD i = 0; i < count; ++i) {
    const uint8_t* v = vertices + (size_t)i * layout.stride;
    StreamVertex& out = converted[i];
    std::memcpy(out.position, positions + (size_t)i * 4, sizeof out.position);
    if (layout.diffuse >= 0)
      std::memcpy(out.diffuse, v + layout.diffuse, sizeof out.diffuse);
    else
      std::memset(out.diffuse, 0xFF, sizeof out.diffuse);
    if (textured && layout.texture >= 0)
      std::memcpy(out.texel, v + layout.texture, sizeof out.texel);
    else
      out.texel[0] = out.texel[1] = 0.0f;
  }
  return converted.data();
}
}  // namespace

void ForgetGlState() { cache = GlStateCache(); }

void BindGlTexture(unsigned name) {
  if (cache.texture != name) glBindTexture(GL_TEXTURE_2D, name);
  cache.texture = name;
}

bool ApplyGlDrawKey(const GlDrawKey& key) {
  StartDrawing();
  if (!MakeProgram(key.program)) return false;
  BindFramebuffer(key.framebuffer);
  if (!cache.known || std::memcmp(cache.viewport, key.viewport, sizeof key.viewport) != 0) {
    glViewport(key.viewport[0], key.viewport[1], key.viewport[2], key.viewport[3]);
    std::memcpy(cache.viewport, key.viewport, sizeof key.viewport);
  }
  if (!cache.known) glActiveTexture(GL_TEXTURE0);
  SetCull(key.cull);
  if (key.texture) {
    const DWORD* s = key.textureStates;
    if (!BindSurfaceTexture(key.texture, s[0], s[1], s[2], s[3])) return false;
  }
  SetBlend(key);
  if (cache.program != key.program) glUseProgram(drawing.programs[key.program]);
  cache.program = key.program;
  SetStream();
  cache.known = true;
  return true;
}

HRESULT DrawVertices(const DrawState& state, D3DPRIMITIVETYPE type, DWORD format, const void* vertices, DWORD count) {
  // Waiting draws were made in the target's context, and it is current still.
  if (!GlDrawsWaiting() && !MakeGlTargetCurrent()) return D3DERR_INITFAILED;
  StartDrawing();
  VertexLayout layout = LayoutOf(format);
  const auto* bytes = static_cast<const uint8_t*>(vertices);

  GlDrawKey key;
  key.generation = GlTargetGeneration();
  key.framebuffer = SceneFramebuffer();
  D3DCOLOR fill;
  if (FillsPictureWithOneColour(state, type, layout, bytes, count, &fill)) {
    FlushGlDraws();
    BindFramebuffer(key.framebuffer);
    glClearColor(((fill >> 16) & 0xFF) / 255.0f, ((fill >> 8) & 0xFF) / 255.0f, (fill & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return D3D_OK;
  }
  const D3DVIEWPORT2& vp = state.viewport;
  key.viewport[0] = (int)vp.dwX;
  key.viewport[1] = (int)state.targetMode.height - (int)vp.dwY - (int)vp.dwHeight;
  key.viewport[2] = (int)vp.dwWidth;
  key.viewport[3] = (int)vp.dwHeight;
  // The picture is upright in GL's frame, so clockwise on the screen is GL's
  // clockwise, its back face.
  DWORD cullMode = state.renderStates[D3DRENDERSTATE_CULLMODE];
  key.cull = cullMode == D3DCULL_CW ? GL_BACK : cullMode == D3DCULL_CCW ? GL_FRONT : 0;
  bool textured = state.texture && UploadSurfaceTexture(state.texture);
  if (textured) {
    const DWORD* stage = state.stageStates;
    key.texture = state.texture;
    key.textureStates[0] = stage[D3DTSS_MAGFILTER];
    key.textureStates[1] = stage[D3DTSS_MINFILTER];
    key.textureStates[2] = stage[D3DTSS_ADDRESSU];
    key.textureStates[3] = stage[D3DTSS_ADDRESSV];
  }
  // A textured draw takes its alpha from the texture alone.
  key.blend = BlendsVisibly(state, textured ? TextureOpaque(state.texture) : VerticesOpaque(layout, bytes, count));
  if (key.blend) GlBlendFactors(state, &key.blendSource, &key.blendDestination);
  bool skipClear = key.blend && key.blendSource == GL_SRC_ALPHA && key.blendDestination == GL_ONE_MINUS_SRC_ALPHA;
  key.program = (textured ? Textured : Plain) | (skipClear ? SkipsClear : Plain);
  if (!MakeProgram(key.program)) return D3DERR_INITFAILED;
  key.primitive = GlPrimitiveOf(type);
  // Fragments of alpha 0 under source-alpha blending leave no mark, nor do
  // black ones added: a textured quad needs none outside its texture's hull.
  bool adds = key.blend && key.blendSource == GL_ONE && key.blendDestination == GL_ONE;
  static std::vector<uint8_t> trimmed;
  const TextureHull* hull = textured && (skipClear || adds) ? SurfaceHull(state.texture) : nullptr;
  auto place = [&] {
    return layout.preTransformed ? ClipPositions(bytes, count, layout.stride, vp)
                                 : TransformPositions(bytes, count, layout.stride, CombinedMatrix(state));
  };
  const float* positions = place();
  if (hull && hull->ofColour == adds && layout.texture >= 0 &&
      ShowsTexelsLargeEnough(positions, layout, bytes, count, vp, *hull) &&
      TrimToTextureHull(*hull, type, layout, bytes, count, &trimmed, &count)) {
    if (count == 0) return D3D_OK;
    bytes = trimmed.data();
    positions = place();
  }
  AppendToGlBatch(key, type, StreamVertices(positions, layout, bytes, count, textured), count,
                  NeedsClipping(positions, count));
  return D3D_OK;
}
