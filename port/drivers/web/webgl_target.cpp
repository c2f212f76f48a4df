// The GL target on WebGL 2. The scene is always drawn into a colour texture of
// the display mode's size: WebGL cannot read the pixel a shader writes, and the
// page's canvas cannot be read once the browser has shown it. Presenting draws
// that texture letterboxed onto the canvas, rounded to 16 bits on the way for
// 16-bit modes by the same rule as Linux (gl_rounding_rule.cpp); a 32-bit
// picture is scaled as on Linux, by a blit. The picture as shown is rounded
// into a second texture only when someone reads it (captures).
#include <algorithm>
#include <string>

#include "directx/directx_internal.h"
#include "directx/gl_api.h"
#include "web.h"
#include "directx/gl_program.h"

namespace {
struct WebGlTarget {
  uint32_t generation = 0;
  bool dither = false;
  HWND window = nullptr;
  void* handle = nullptr;
  DWORD width = 0;
  DWORD height = 0;
  DWORD bpp = 0;
  int windowWidth = 0;
  int windowHeight = 0;
  GLuint sceneFramebuffer = 0;
  GLuint sceneTexture = 0;
  GLuint pictureFramebuffer = 0;
  GLuint pictureTexture = 0;
  GLuint roundingProgram = 0;
  bool presented = false;  // a picture has been presented since the scene was made
};
WebGlTarget target;

// Covers the viewport with one triangle; the fragment's place in the box picks
// the scene's pixel, so a scaled picture shows each pixel as a block.
const char* const fullViewVertex = R"(
void main() {
  vec2 corner = vec2(float((gl_VertexID & 1) << 2), float((gl_VertexID & 2) << 1)) - 1.0;
  gl_Position = vec4(corner, 0.0, 1.0);
}
)";

std::string RoundingFragment() {
  return std::string(RoundTo16BitsSource) + R"(
uniform sampler2D scene;
uniform ivec2 size;
uniform vec4 box;
out vec4 colour;
void main() {
  vec2 at = (gl_FragCoord.xy - box.xy) / box.zw;
  ivec2 p = clamp(ivec2(at * vec2(size)), ivec2(0), size - 1);
  colour = vec4(RoundTo16Bits(texelFetch(scene, p, 0).rgb, p), 1.0);
}
)";
}

void DrawRoundedInto(GLuint framebuffer, const Letterbox& box) {
  if (!target.roundingProgram) target.roundingProgram = MakeGlProgram(fullViewVertex, RoundingFragment().c_str());
  GLuint program = target.roundingProgram;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(box.x, box.y, box.width, box.height);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glUseProgram(program);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, target.sceneTexture);
  glUniform1i(glGetUniformLocation(program, "scene"), 0);
  glUniform1i(glGetUniformLocation(program, "dither"), target.dither ? 1 : 0);
  glUniform2i(glGetUniformLocation(program, "size"), (GLint)target.width, (GLint)target.height);
  glUniform4f(glGetUniformLocation(program, "box"), (float)box.x, (float)box.y, (float)box.width, (float)box.height);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  // Left bound, the scene's texture would be read by the next draw into the
  // scene itself, which WebGL refuses, even a draw whose program never samples.
  glBindTexture(GL_TEXTURE_2D, 0);
  ForgetGlState();
}

void ShowOnCanvas() {
  Letterbox box = ClearAroundPicture((int)target.width, (int)target.height, target.windowWidth, target.windowHeight);
  if (target.bpp <= 16) {
    DrawRoundedInto(0, box);
    return;
  }
  BlitPicture(target.sceneFramebuffer, (int)target.width, (int)target.height, box);
  ForgetGlState();
}
}  // namespace

bool PrepareGlTarget(HWND window, DWORD width, DWORD height, DWORD bpp) {
  void* handle = PortGlContext(window);
  if (!handle) return false;
  bool fresh = handle != target.handle || window != target.window || !glIsFramebuffer(target.sceneFramebuffer);
  if (fresh) {
    // The page's one context outlives each show; what the last show made in it goes.
    if (handle == target.handle) {
      GLuint framebuffers[] = {target.sceneFramebuffer, target.pictureFramebuffer};
      GLuint textures[] = {target.sceneTexture, target.pictureTexture};
      glDeleteFramebuffers(2, framebuffers);
      glDeleteTextures(2, textures);
      if (target.roundingProgram) glDeleteProgram(target.roundingProgram);
    }
    uint32_t generation = target.generation + 1;
    bool dither = target.dither;
    target = WebGlTarget();
    target.generation = generation;
    target.dither = dither;
    target.window = window;
    target.handle = handle;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);  // 16-bit dithering is done when the picture is made
  }
  if (fresh || width != target.width || height != target.height) {
    MakeGlColourTarget(&target.sceneFramebuffer, &target.sceneTexture, width, height);
    MakeGlColourTarget(&target.pictureFramebuffer, &target.pictureTexture, width, height);
    target.width = width;
    target.height = height;
    target.presented = false;
    ForgetGlState();
  }
  target.bpp = bpp;
  PortWindowSize(window, &target.windowWidth, &target.windowHeight);
  return true;
}

bool MakeGlTargetCurrent() { return target.handle && PortGlContext(target.window) == target.handle; }

PresentPath ChosenPresentPath() { return PresentPath::SceneTarget; }

unsigned SceneFramebuffer() { return target.sceneFramebuffer; }

// WebGL has no clip control; the projection maps depth instead.
bool GlClipsDepth() { return false; }

uint32_t GlTargetGeneration() { return target.generation; }

void PresentGlTarget(bool) {
  FlushGlDraws();
  if (MakeGlTargetCurrent()) {
    target.presented = true;
    CaptureDueFrames(timeGetTime(), (int)target.width, (int)target.height);
    ShowOnCanvas();
  }
  PortNoteFramePresented();
  // The browser shows the canvas once the program lets it in.
  WebAwaitNextFrame();
}

std::vector<uint8_t> ReadPresentedPicture() {
  FlushGlDraws();
  if (!target.presented || !MakeGlTargetCurrent()) return {};
  GLuint source = target.sceneFramebuffer;
  if (target.bpp <= 16) {
    DrawRoundedInto(target.pictureFramebuffer, {0, 0, (int)target.width, (int)target.height});
    source = target.pictureFramebuffer;
  }
  return ReadGlFramebuffer(source, target.width, target.height);
}

// Pictures are always kept here: the scene's texture outlives the present.
void KeepPresentedPictures(bool) {}

void DitherPresentedPictures(bool dither) { target.dither = dither; }
