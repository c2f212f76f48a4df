// Shader programs for WebGL 2: GLSL ES 3.00, high precision throughout.
#include "directx/gl_api.h"
#include "webgl_program.h"

namespace {
GLuint Compile(GLenum kind, const char* source) {
  const char* sources[] = {"#version 300 es\nprecision highp float;\nprecision highp int;\n", source};
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

unsigned MakeWebGlProgram(const char* vertexSource, const char* fragmentSource) {
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
