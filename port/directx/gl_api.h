// The GL names the DirectX family uses: desktop OpenGL's headers on Linux,
// OpenGL ES 3's (WebGL 2) in the browser. ES lacks a few of desktop GL's
// names; those the texture table spells its formats with are given their
// desktop values, for the ES upload converts texels itself and never hands
// them to GL. The shaders are written once, after the dialect's version line.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#define GL_UNSIGNED_SHORT_1_5_5_5_REV 0x8366
#define GL_UNSIGNED_SHORT_4_4_4_4_REV 0x8365
#define GL_UNSIGNED_INT_8_8_8_8_REV 0x8367
#define GL_CLAMP_TO_BORDER GL_CLAMP_TO_EDGE  // ES 3.0 has no border colour; nothing here draws with one
const char* const GlslVersionLine = "#version 300 es\nprecision highp float;\nprecision highp int;\n";
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
const char* const GlslVersionLine = "#version 330\n";
#endif
