// Shader programs of the draws and of the page's present (gl_program.cpp).
#pragma once

// Compiles and links a vertex and a fragment shader, each preceded by the
// dialect's version line (gl_api.h); 0 when GL refuses them.
unsigned MakeGlProgram(const char* vertexSource, const char* fragmentSource);
