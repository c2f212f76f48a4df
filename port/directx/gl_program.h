// Shader programs: the draws', the 16-bit rounding's, the page's present (gl_program.cpp).
#pragma once

// Compiles and links a vertex and a fragment shader, each preceded by the
// dialect's version line (gl_api.h); 0 when GL refuses them.
unsigned MakeGlProgram(const char* vertexSource, const char* fragmentSource);
// A shader of the kind from its sources, 0 when GL refuses it; and a program
// of one or two of them (second may be 0), which it takes over: 0 when GL
// refuses to link them.
unsigned CompileGlShader(unsigned kind, const char* const* sources, int count);
unsigned LinkGlProgram(unsigned first, unsigned second);
