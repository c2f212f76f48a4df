// Presenting a frame: the scene is shown in the window scaled to fit with its
// aspect kept (black bars fill the rest), due captures are written, and the
// frame is counted. The monitor's own mode never changes.
//
// A 16-bit display keeps 5, 6 and 5 bits of red, green and blue; with
// dithering on (as the program asks for at 16 bits) the hardware spread the
// rounding error in an ordered 4x4 pattern, and so does this. When the scene
// was drawn straight into the window (it fills the window pixel for pixel), the
// rounding is done where it lies, each pixel read back by the shader itself;
// otherwise the scene goes from its own target to the window in one pass,
// rounded on the way, each picture pixel shown as a block when scaled up, like
// a monitor running that mode. Software rendering has no time for more passes:
// reading a texture is most of what a full-screen pass costs it.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "directx_internal.h"

namespace {
// Rounds a colour to 5, 6 and 5 bits against the threshold of the ordered
// 4x4 pattern [0 8 2 10; 12 4 14 6; 3 11 1 9; 15 7 13 5] at pixel p when
// dithering (a half otherwise): the 2x2 pattern [0 2; 3 1] within each 2x2
// block, and again across blocks.
const char* roundingFunction = R"(
uniform bool dither;
vec3 RoundTo16Bits(vec3 c, ivec2 p) {
  ivec2 low = p & 1;
  ivec2 high = (p >> 1) & 1;
  int rank = 4 * (((low.x ^ low.y) << 1) | low.y) + (((high.x ^ high.y) << 1) | high.y);
  float threshold = dither ? (float(rank) + 0.5) / 16.0 : 0.5;
  vec3 levels = vec3(31.0, 63.0, 31.0);
  return min(floor(c * levels + threshold), levels) / levels;
}
)";

// From the scene's target into a rectangle of another framebuffer.
const char* fromSceneShader = R"(
uniform sampler2D scene;
uniform ivec2 size;
void main() {
  ivec2 p = min(ivec2(gl_TexCoord[0].xy * vec2(size)), size - 1);
  gl_FragColor = vec4(RoundTo16Bits(texelFetch(scene, p, 0).rgb, p), 1.0);
}
)";

// In the window, over the scene drawn there: the output starts as the pixel
// it replaces.
const char* inPlaceShader = R"(
inout vec4 colour;
void main() {
  colour = vec4(RoundTo16Bits(colour.rgb, ivec2(gl_FragCoord.xy)), 1.0);
}
)";

GLuint CompileProgram(const char* header, const char* body) {
  const char* sources[] = {header, roundingFunction, body};
  GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 3, sources, nullptr);
  glCompileShader(shader);
  GLint compiled = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  GLuint program = 0;
  if (compiled) {
    program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  glDeleteShader(shader);
  return program;
}

GLuint FromSceneProgram() {
  if (!glTarget.fromSceneProgram) glTarget.fromSceneProgram = CompileProgram("#version 130\n", fromSceneShader);
  return glTarget.fromSceneProgram;
}

// Draws a quad over the whole viewport with the current program.
void DrawViewportQuad(const float* texels) {
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisableClientState(GL_COLOR_ARRAY);
  static const float corners[] = {-1, -1, 0, 1, 1, -1, 0, 1, 1, 1, 0, 1, -1, 1, 0, 1};
  if (texels) {
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texels);
  } else {
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  glVertexPointer(4, GL_FLOAT, 0, corners);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glUseProgram(0);
  ForgetGlState();
}

// Draws the scene rounded to 16 bits into a rectangle of a framebuffer; false
// when GL cannot.
bool DrawSixteenBit(GLuint framebuffer, const Letterbox& box) {
  GLuint program = FromSceneProgram();
  if (!program) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(box.x, box.y, box.width, box.height);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, glTarget.sceneTexture);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "scene"), 0);
  glUniform2i(glGetUniformLocation(program, "size"), (GLint)glTarget.width, (GLint)glTarget.height);
  glUniform1i(glGetUniformLocation(program, "dither"), glTarget.dither ? 1 : 0);
  static const float texels[] = {0, 0, 1, 0, 1, 1, 0, 1};
  DrawViewportQuad(texels);
  return true;
}

// Rounds the scene drawn straight into the window where it lies.
void RoundWindowToSixteenBit() {
  GLuint program = glTarget.inPlaceProgram;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, (GLsizei)glTarget.width, (GLsizei)glTarget.height);
  glDisable(GL_TEXTURE_2D);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "dither"), glTarget.dither ? 1 : 0);
  DrawViewportQuad(nullptr);
}

bool SixteenBit() { return glTarget.bpp <= 16; }

// Copies the picture in the window into the picture target before the swap
// undoes it, for readers that come after the frame (tests).
void KeepWindowPicture() {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, glTarget.pictureFramebuffer);
  GLint size[2] = {(GLint)glTarget.width, (GLint)glTarget.height};
  glBlitFramebuffer(0, 0, size[0], size[1], 0, 0, size[0], size[1], GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  ForgetGlState();
  glTarget.pictureMade = true;
}

void SetVsync(bool wanted) {
  if (glTarget.vsyncKnown && glTarget.vsync == wanted) return;
  // Displays without vertical sync (a virtual X server) refuse; frames then
  // simply run unpaced.
  SDL_GL_SetSwapInterval(wanted ? 1 : 0);
  glTarget.vsync = wanted;
  glTarget.vsyncKnown = true;
}
}  // namespace

bool PrepareInPlaceRounding() {
  if (!glTarget.inPlaceTried) {
    glTarget.inPlaceTried = true;
    // Reading the pixel being written is an extension; without it the scene
    // keeps its own target and is rounded on the way to the window.
    glTarget.inPlaceProgram = CompileProgram(
        "#version 130\n#extension GL_EXT_shader_framebuffer_fetch : require\n", inPlaceShader);
  }
  return glTarget.inPlaceProgram != 0;
}

Letterbox FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return {0, 0, 0, 0};
  double scale = std::min((double)windowWidth / pictureWidth, (double)windowHeight / pictureHeight);
  int width = std::min(windowWidth, (int)std::lround(pictureWidth * scale));
  int height = std::min(windowHeight, (int)std::lround(pictureHeight * scale));
  return {(windowWidth - width) / 2, (windowHeight - height) / 2, width, height};
}

void PresentGlTarget(bool waitForVsync) {
  if (!MakeGlTargetCurrent()) {
    PortNoteFramePresented();
    return;
  }
  glTarget.presented = true;
  glTarget.pictureMade = false;
  SDL_Window* window = PortSdlWindow(glTarget.window);
  // A frame that drew nothing shows the scene's target, which still holds
  // what was drawn into it last.
  if (!glTarget.frameBegun) glTarget.straight = false;
  if (glTarget.straight) {
    if (SixteenBit()) RoundWindowToSixteenBit();
    // The window's buffer is undefined once swapped: whatever reads the
    // picture reads it now.
    glTarget.pictureInWindow = true;
    if (glTarget.keepPictures) KeepWindowPicture();
    CaptureDueFrames(timeGetTime());
    glTarget.pictureInWindow = false;
  } else {
    CaptureDueFrames(timeGetTime());
    int windowWidth = 0, windowHeight = 0;
    PortWindowSize(glTarget.window, &windowWidth, &windowHeight);
    Letterbox box = FitPicture((int)glTarget.width, (int)glTarget.height, windowWidth, windowHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    if (box.width != windowWidth || box.height != windowHeight) {
      glViewport(0, 0, windowWidth, windowHeight);
      glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
    }
    if (!SixteenBit() || !DrawSixteenBit(0, box)) {
      bool sameSize = box.width == (int)glTarget.width && box.height == (int)glTarget.height;
      glBindFramebuffer(GL_READ_FRAMEBUFFER, glTarget.sceneFramebuffer);
      glBlitFramebuffer(0, 0, (GLint)glTarget.width, (GLint)glTarget.height, box.x, box.y, box.x + box.width,
                        box.y + box.height, GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
  }
  SetVsync(waitForVsync);
  if (window) SDL_GL_SwapWindow(window);
  glTarget.frameBegun = false;
  ForgetGlState();
  PortNoteFramePresented();
}

std::vector<uint8_t> ReadPresentedPicture() {
  std::vector<uint8_t> pixels;
  if (!glTarget.presented || !MakeGlTargetCurrent()) return pixels;
  GLuint source = glTarget.sceneFramebuffer;
  if (glTarget.pictureInWindow) {
    source = 0;
  } else if (glTarget.straight) {
    if (!glTarget.pictureMade) return pixels;  // swapped away, and not kept
    source = glTarget.pictureFramebuffer;
  } else if (SixteenBit()) {
    if (!glTarget.pictureMade)
      glTarget.pictureMade = DrawSixteenBit(glTarget.pictureFramebuffer, {0, 0, (int)glTarget.width, (int)glTarget.height});
    if (glTarget.pictureMade) source = glTarget.pictureFramebuffer;
  }
  size_t row = (size_t)glTarget.width * 4;
  std::vector<uint8_t> bottomUp(row * glTarget.height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, (GLsizei)glTarget.width, (GLsizei)glTarget.height, GL_RGBA, GL_UNSIGNED_BYTE,
               bottomUp.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  ForgetGlState();
  pixels.resize(bottomUp.size());
  for (DWORD y = 0; y < glTarget.height; ++y)
    std::copy_n(&bottomUp[(glTarget.height - 1 - y) * row], row, &pixels[y * row]);
  return pixels;
}

void KeepPresentedPictures(bool keep) { glTarget.keepPictures = keep; }
