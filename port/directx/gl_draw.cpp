// One DrawPrimitive in GL, the same on desktop GL and WebGL 2 (which has no
// fixed-function pipeline): one shader source, built as a program for each
// kind of draw. A textured draw shows texture colour times vertex colour with
// the texture's alpha alone, an untextured one the vertex colour and alpha;
// under source-alpha blending a fragment of alpha 0 is left out, which changes
// nothing and spares a software renderer the blending of most of a glyph's
// quad, and an opaque draw is not blended at all (BlendsVisibly). Positions arrive
// in clip space, worked out in d3d_vertices.cpp; GL's own matrices are never
// used, for changing them for every quad costs a software renderer more than
// the four products.
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

// What the draws last told GL, so that they set only what changed.
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
  unsigned arrays = 0;  // bit 0 colours, bit 1 texture coordinates
};
GlStateCache cache;

// Each kind's program is made at its first draw, so that a start compiles
// only what its first frame needs.
struct DrawPrograms {
  uint32_t generation = 0;  // the context's they were made in; contexts count from 1
  GLuint programs[KindCount] = {};
  bool refused[KindCount] = {};
  GLuint positions = 0;  // buffers, refilled by every draw
  GLuint vertices = 0;
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
  glGenBuffers(1, &drawing.positions);
  glGenBuffers(1, &drawing.vertices);
  ForgetGlState();
}

// False when GL refuses the kind's program.
bool UseProgram(int kind) {
  if (!drawing.programs[kind] && !drawing.refused[kind]) {
    drawing.programs[kind] = MakeDrawProgram((unsigned)kind);
    drawing.refused[kind] = drawing.programs[kind] == 0;
    cache.program = -1;  // whichever was in use is no longer
  }
  if (!drawing.programs[kind]) return false;
  if (cache.program == kind) return true;
  glUseProgram(drawing.programs[kind]);
  cache.program = kind;
  return true;
}

void SetFlag(bool wanted, bool* known, GLenum capability) {
  if (cache.known && *known == wanted) return;
  if (wanted) glEnable(capability);
  else glDisable(capability);
  *known = wanted;
}

void SetBlend(const DrawState& state, bool opaque) {
  bool blend = BlendsVisibly(state, opaque);
  SetFlag(blend, &cache.blend, GL_BLEND);
  if (!blend) return;
  unsigned source, destination;
  GlBlendFactors(state, &source, &destination);
  if (cache.known && cache.blendSource == source && cache.blendDestination == destination) return;
  glBlendFunc(source, destination);
  cache.blendSource = source;
  cache.blendDestination = destination;
}

void SetCull(const DrawState& state) {
  // The picture is upright in GL's frame, so clockwise on the screen is GL's
  // clockwise, its back face.
  DWORD mode = state.renderStates[D3DRENDERSTATE_CULLMODE];
  int wanted = mode == D3DCULL_CW ? GL_BACK : mode == D3DCULL_CCW ? GL_FRONT : 0;
  if (cache.known && cache.cull == wanted) return;
  if (wanted) {
    glEnable(GL_CULL_FACE);
    glCullFace((GLenum)wanted);
  } else {
    glDisable(GL_CULL_FACE);
  }
  cache.cull = wanted;
}

void SetArrays(unsigned wanted) {
  unsigned had = cache.known ? cache.arrays : ~wanted;
  for (unsigned bit = 0; bit < 2; ++bit) {
    if (!((had ^ wanted) & (1u << bit))) continue;
    GLuint attribute = bit == 0 ? Diffuse : Texel;
    if (wanted & (1u << bit)) glEnableVertexAttribArray(attribute);
    else glDisableVertexAttribArray(attribute);
  }
  cache.arrays = wanted;
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
  StartDrawing();
  VertexLayout layout = LayoutOf(format);
  const auto* bytes = static_cast<const uint8_t*>(vertices);

  GLuint framebuffer = SceneFramebuffer();
  if (cache.framebuffer != (long)framebuffer) glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  cache.framebuffer = (long)framebuffer;
  D3DCOLOR fill;
  if (FillsPictureWithOneColour(state, type, layout, bytes, count, &fill)) {
    glClearColor(((fill >> 16) & 0xFF) / 255.0f, ((fill >> 8) & 0xFF) / 255.0f, (fill & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return D3D_OK;
  }
  const D3DVIEWPORT2& vp = state.viewport;
  int wanted[4] = {(int)vp.dwX, (int)state.targetMode.height - (int)vp.dwY - (int)vp.dwHeight, (int)vp.dwWidth,
                   (int)vp.dwHeight};
  if (!cache.known || std::memcmp(cache.viewport, wanted, sizeof wanted) != 0) {
    glViewport(wanted[0], wanted[1], wanted[2], wanted[3]);
    std::memcpy(cache.viewport, wanted, sizeof wanted);
  }
  if (!cache.known) {
    glActiveTexture(GL_TEXTURE0);
    glEnableVertexAttribArray(Position);
  }
  SetCull(state);
  const DWORD* stage = state.stageStates;
  bool textured = state.texture && BindSurfaceTexture(state.texture, stage[D3DTSS_MAGFILTER], stage[D3DTSS_MINFILTER],
                                                      stage[D3DTSS_ADDRESSU], stage[D3DTSS_ADDRESSV]);
  // A textured draw takes its alpha from the texture alone.
  SetBlend(state, textured ? TextureOpaque(state.texture) : VerticesOpaque(layout, bytes, count));
  bool skipClear =
      cache.blend && cache.blendSource == GL_SRC_ALPHA && cache.blendDestination == GL_ONE_MINUS_SRC_ALPHA;
  int kind = (textured ? Textured : Plain) | (skipClear ? SkipsClear : Plain);
  if (!UseProgram(kind)) return D3DERR_INITFAILED;
  // Fragments of alpha 0 leave no mark: a textured quad needs none outside its texture's hull.
  static std::vector<uint8_t> trimmed;
  const TextureHull* hull = textured && skipClear ? SurfaceHull(state.texture) : nullptr;
  if (hull && TrimToTextureHull(*hull, type, layout, bytes, count, &trimmed, &count)) {
    if (count == 0) return D3D_OK;
    bytes = trimmed.data();
  }
  unsigned arrays = (layout.diffuse >= 0 ? 1u : 0u) | (layout.texture >= 0 && textured ? 2u : 0u);
  SetArrays(arrays);
  cache.known = true;

  const float* positions = layout.preTransformed ? ClipPositions(bytes, count, layout.stride, vp)
                                                 : TransformPositions(bytes, count, layout.stride, CombinedMatrix(state));
  glBindBuffer(GL_ARRAY_BUFFER, drawing.positions);
  glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * 16, positions, GL_STREAM_DRAW);
  glVertexAttribPointer(Position, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindBuffer(GL_ARRAY_BUFFER, drawing.vertices);
  glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * layout.stride, bytes, GL_STREAM_DRAW);
  if (arrays & 1u)
    glVertexAttribPointer(Diffuse, 4, GL_UNSIGNED_BYTE, GL_TRUE, (GLsizei)layout.stride,
                          reinterpret_cast<const void*>((intptr_t)layout.diffuse));
  else
    glVertexAttrib4f(Diffuse, 1.0f, 1.0f, 1.0f, 1.0f);
  if (arrays & 2u)
    glVertexAttribPointer(Texel, 2, GL_FLOAT, GL_FALSE, (GLsizei)layout.stride,
                          reinterpret_cast<const void*>((intptr_t)layout.texture));
  else
    glVertexAttrib2f(Texel, 0.0f, 0.0f);
  glDrawArrays(GlPrimitive(type), 0, (GLsizei)count);
  // Desktop GL's own arrays (the 16-bit rounding's) take pointers into memory
  // only while no buffer is bound.
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return D3D_OK;
}
