// Shader programs in the one GLSL both dialects read: desktop GLSL 3.30 and
// GLSL ES 3.00 differ in little but their version line.
#include "gl_api.h"
#include "gl_program.h"

namespace {
GLuint Compile(GLenum kind, const char* source) {
  const char* sources[] = {GlslVersionLine, source};
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 2, sources, nullptr);
  glCompileShader(shader);
  GLint compiled = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return shader;
  glDeleteShader(shader);
  return 0;
}
}  // namespace

unsigned MakeGlProgram(const char* vertexSource, const char* fragmentSource) {
  GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource);
  GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
  GLuint program = 0;
  if (vertex && fragment) {
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex) glDeleteShader(vertex);
  if (fragment) glDeleteShader(fragment);
  return program;
}
