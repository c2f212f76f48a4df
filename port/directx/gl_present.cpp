// Presenting a frame: the scene is shown in the window scaled to fit with its
// aspect kept (black bars fill the rest), due captures are written, and the
// frame is counted. The monitor's own mode never changes.
//
// A 16-bit display keeps 5, 6 and 5 bits of red, green and blue; with
// dithering on (as the program asks for at 16 bits) the hardware spread the
// rounding error in an ordered 4x4 pattern, and so does this. The scene goes to
// the window in one pass, rounded on the way, each picture pixel shown as a
// block when scaled up, like a monitor running that mode. Software rendering
// has no time for more passes; the rounded picture at the mode's size is made
// only when someone reads it (captures, tests).
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "directx_internal.h"

namespace {
const char* quantizeShader = R"(
#version 120
uniform sampler2D scene;
uniform vec2 size;
uniform float dither;
// One entry of the 2x2 ordered-dither matrix [0 2; 3 1].
float Bayer2(vec2 p) { return 2.0 * p.x + 3.0 * p.y - 4.0 * p.x * p.y; }
void main() {
  vec2 p = min(floor(gl_TexCoord[0].xy * size), size - 1.0);
  vec3 c = texture2D(scene, (p + 0.5) / size).rgb;
  vec2 low = mod(p, 2.0);
  vec2 high = floor(mod(p, 4.0) / 2.0);
  float threshold = dither > 0.5 ? (4.0 * Bayer2(low) + Bayer2(high) + 0.5) / 16.0 : 0.5;
  vec3 levels = vec3(31.0, 63.0, 31.0);
  gl_FragColor = vec4(min(floor(c * levels + threshold), levels) / levels, 1.0);
}
)";

GLuint QuantizeProgram() {
  if (glTarget.quantizeProgram) return glTarget.quantizeProgram;
  GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &quantizeShader, nullptr);
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
  glTarget.quantizeProgram = program;
  return program;
}

// Draws the scene rounded to 16 bits into a rectangle of a framebuffer; false
// when GL cannot.
bool DrawSixteenBit(GLuint framebuffer, const Letterbox& box) {
  GLuint program = QuantizeProgram();
  if (!program) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(box.x, box.y, box.width, box.height);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, glTarget.sceneTexture);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "scene"), 0);
  glUniform2f(glGetUniformLocation(program, "size"), (float)glTarget.width, (float)glTarget.height);
  glUniform1f(glGetUniformLocation(program, "dither"), glTarget.dither ? 1.0f : 0.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisableClientState(GL_COLOR_ARRAY);
  static const float corners[] = {-1, -1, 0, 1, 1, -1, 0, 1, 1, 1, 0, 1, -1, 1, 0, 1};
  static const float texels[] = {0, 0, 1, 0, 1, 1, 0, 1};
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, texels);
  glVertexPointer(4, GL_FLOAT, 0, corners);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glUseProgram(0);
  ForgetGlState();
  return true;
}

bool SixteenBit() { return glTarget.bpp <= 16; }

void SetVsync(bool wanted) {
  if (glTarget.vsyncKnown && glTarget.vsync == wanted) return;
  // Displays without vertical sync (a virtual X server) refuse; frames then
  // simply run unpaced.
  SDL_GL_SetSwapInterval(wanted ? 1 : 0);
  glTarget.vsync = wanted;
  glTarget.vsyncKnown = true;
}
}  // namespace

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
  CaptureDueFrames(timeGetTime());

  SDL_Window* window = PortSdlWindow(glTarget.window);
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
  SetVsync(waitForVsync);
  if (window) SDL_GL_SwapWindow(window);
  ForgetGlState();
  PortNoteFramePresented();
}

std::vector<uint8_t> ReadPresentedPicture() {
  std::vector<uint8_t> pixels;
  if (!glTarget.presented || !MakeGlTargetCurrent()) return pixels;
  GLuint source = glTarget.sceneFramebuffer;
  if (SixteenBit()) {
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
