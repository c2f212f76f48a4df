// Shader programs (the draws', the 16-bit rounding's, the page's present) and
// off-screen colour targets, in what both GL dialects share (gl_program.cpp).
#pragma once

#include <cstdint>
#include <vector>

// Compiles and links a vertex and a fragment shader, each preceded by the
// dialect's version line (gl_api.h); 0 when GL refuses them.
unsigned MakeGlProgram(const char* vertexSource, const char* fragmentSource);
// A shader of the kind from its sources, 0 when GL refuses it; and a program
// of one or two of them (second may be 0), which it takes over: 0 when GL
// refuses to link them.
unsigned CompileGlShader(unsigned kind, const char* const* sources, int count);
unsigned LinkGlProgram(unsigned first, unsigned second);
// Makes (or remakes at a new size) a colour texture of the size and its
// framebuffer, bound and cleared to black. It has no alpha: a display has
// none, so destination alpha reads as 1.
void MakeGlColourTarget(unsigned* framebuffer, unsigned* texture, unsigned width, unsigned height);
// The framebuffer's pixels of the given size, top row first, four bytes a
// pixel (red, green, blue, 255).
std::vector<uint8_t> ReadGlFramebuffer(unsigned framebuffer, unsigned width, unsigned height);
