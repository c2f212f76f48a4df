// GLSL ES 3.00 programs of the WebGL path (webgl_program.cpp).
#pragma once

// Compiles and links a vertex and a fragment shader, each preceded by the
// version line; 0 when WebGL refuses them.
unsigned MakeWebGlProgram(const char* vertexSource, const char* fragmentSource);
