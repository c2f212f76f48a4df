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

#include "directx/directx_internal.h"
#include "directx/gl_program.h"

namespace {
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
}  // namespace

GLuint MakeRoundingProgram(bool inPlace) {
  // Reading the pixel being written is an extension.
  const char* sources[] = {
      inPlace ? "#version 130\n#extension GL_EXT_shader_framebuffer_fetch : require\n" : "#version 130\n",
      RoundTo16BitsSource, inPlace ? inPlaceShader : fromSceneShader};
  // Fragments only: the corners come through GL's fixed vertex stage.
  return LinkGlProgram(CompileGlShader(GL_FRAGMENT_SHADER, sources, 3), 0);
}

void DrawRounded(GLuint program, bool dither, GLuint sceneTexture, DWORD width, DWORD height) {
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisableClientState(GL_COLOR_ARRAY);
  // The draws' own arrays (gl_draw.cpp) would win over these: an enabled
  // generic array 0 stands in for the position array.
  for (GLuint attribute = 0; attribute < 3; ++attribute) glDisableVertexAttribArray(attribute);
  glEnableClientState(GL_VERTEX_ARRAY);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "dither"), dither ? 1 : 0);
  if (sceneTexture) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sceneTexture);
    glUniform1i(glGetUniformLocation(program, "scene"), 0);
    glUniform2i(glGetUniformLocation(program, "size"), (GLint)width, (GLint)height);
    static const float texels[] = {0, 0, 1, 0, 1, 1, 0, 1};
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texels);
  } else {
    glDisable(GL_TEXTURE_2D);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  static const float corners[] = {-1, -1, 0, 1, 1, -1, 0, 1, 1, 1, 0, 1, -1, 1, 0, 1};
  glVertexPointer(4, GL_FLOAT, 0, corners);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glUseProgram(0);
  ForgetGlState();
}
