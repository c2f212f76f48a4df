// Shader programs in the one GLSL both dialects read: desktop GLSL 3.30 and
// GLSL ES 3.00 differ in little but their version line.
#include <algorithm>

#include "directx_internal.h"
#include "gl_api.h"
#include "gl_program.h"

unsigned CompileGlShader(unsigned kind, const char* const* sources, int count) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, count, sources, nullptr);
  glCompileShader(shader);
  GLint compiled = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return shader;
  glDeleteShader(shader);
  return 0;
}

unsigned LinkGlProgram(unsigned first, unsigned second) {
  GLuint program = 0;
  if (first) {
    program = glCreateProgram();
    glAttachShader(program, first);
    if (second) glAttachShader(program, second);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (first) glDeleteShader(first);
  if (second) glDeleteShader(second);
  return program;
}

unsigned MakeGlProgram(const char* vertexSource, const char* fragmentSource) {
  const char* vertex[] = {GlslVersionLine, vertexSource};
  const char* fragment[] = {GlslVersionLine, fragmentSource};
  GLuint vertexShader = CompileGlShader(GL_VERTEX_SHADER, vertex, 2);
  GLuint fragmentShader = CompileGlShader(GL_FRAGMENT_SHADER, fragment, 2);
  if (!vertexShader || !fragmentShader) {
    if (vertexShader) glDeleteShader(vertexShader);
    if (fragmentShader) glDeleteShader(fragmentShader);
    return 0;
  }
  return LinkGlProgram(vertexShader, fragmentShader);
}

void MakeGlColourTarget(unsigned* framebuffer, unsigned* texture, unsigned width, unsigned height) {
  if (!*texture) glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, (GLsizei)width, (GLsizei)height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  if (!*framebuffer) glGenFramebuffers(1, framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, *texture, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

Letterbox ClearAroundPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
  Letterbox box = FitPicture(pictureWidth, pictureHeight, windowWidth, windowHeight);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, windowWidth, windowHeight);
  if (box.width != windowWidth || box.height != windowHeight) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  return box;
}

void BlitPicture(unsigned source, int pictureWidth, int pictureHeight, const Letterbox& box) {
  bool sameSize = box.width == pictureWidth && box.height == pictureHeight;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, box.x, box.y, box.x + box.width, box.y + box.height,
                    GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

std::vector<uint8_t> ReadGlFramebuffer(unsigned framebuffer, unsigned width, unsigned height) {
  size_t row = (size_t)width * 4;
  std::vector<uint8_t> pixels(row * height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, (GLsizei)width, (GLsizei)height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  ForgetGlState();
  // GL's rows run from the bottom.
  for (size_t top = 0, bottom = height; top + 1 < bottom; ++top, --bottom)
    std::swap_ranges(&pixels[top * row], &pixels[(top + 1) * row], &pixels[(bottom - 1) * row]);
  return pixels;
}
