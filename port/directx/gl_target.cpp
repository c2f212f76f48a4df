// Where the scene is drawn: the bound window's own buffer when the picture
// fills it pixel for pixel, else an off-screen colour texture of the display
// mode's size in the window's GL context; plus a second texture of that size
// for the picture as shown, for readers after the present.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "directx_internal.h"

GlTarget glTarget;

namespace {
bool HasClipControl() {
  GLint major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  if (major > 4 || (major == 4 && minor >= 5)) return true;
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, (GLuint)i));
    if (name && std::strcmp(name, "GL_ARB_clip_control") == 0) return true;
  }
  return false;
}

// States every draw shares, set once per context.
void SetFixedState() {
  glTarget.clipControl = HasClipControl();
  if (glTarget.clipControl) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DITHER);  // 16-bit dithering is done when the picture is made
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glActiveTexture(GL_TEXTURE0);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
  glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
  glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
  glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
  glEnableClientState(GL_VERTEX_ARRAY);
}

void MakeColourTarget(GLuint* framebuffer, GLuint* texture, DWORD width, DWORD height) {
  if (!*texture) glGenTextures(1, texture);
  glBindTexture(GL_TEXTURE_2D, *texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  // No alpha: a display has none, so destination alpha reads as 1.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, (GLsizei)width, (GLsizei)height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
  if (!*framebuffer) glGenFramebuffers(1, framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, *framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, *texture, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}
}  // namespace

bool PrepareGlTarget(HWND window, DWORD width, DWORD height, DWORD bpp) {
  void* context = PortGlContext(window);
  if (!context) return false;
  // A context made after another was destroyed may come back at the same
  // address; its objects tell them apart.
  bool fresh = context != glTarget.context || window != glTarget.window || !glTarget.sceneFramebuffer ||
               !glIsFramebuffer(glTarget.sceneFramebuffer);
  if (fresh) {
    uint32_t generation = glTarget.generation + 1;
    bool dither = glTarget.dither, keepPictures = glTarget.keepPictures;
    glTarget = GlTarget();
    glTarget.generation = generation;
    glTarget.dither = dither;
    glTarget.keepPictures = keepPictures;
    glTarget.window = window;
    glTarget.context = context;
    SetFixedState();
  }
  if (fresh || width != glTarget.width || height != glTarget.height) {
    MakeColourTarget(&glTarget.sceneFramebuffer, &glTarget.sceneTexture, width, height);
    MakeColourTarget(&glTarget.pictureFramebuffer, &glTarget.pictureTexture, width, height);
    glTarget.width = width;
    glTarget.height = height;
    ForgetGlState();
  }
  glTarget.bpp = bpp;
  return true;
}

bool MakeGlTargetCurrent() {
  if (!glTarget.context) return false;
  return PortGlContext(glTarget.window) == glTarget.context;
}

namespace {
// A window of the picture's size can hold the scene itself, which spares a
// software renderer a pass over every pixel. Its buffer must have no alpha of
// its own, as the scene's target has none.
bool CanDrawStraightIntoWindow() {
  int width = 0, height = 0;
  if (!PortWindowSize(glTarget.window, &width, &height)) return false;
  if (width != (int)glTarget.width || height != (int)glTarget.height) return false;
  if (glTarget.windowAlphaBits < 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    GLint bits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &bits);
    glTarget.windowAlphaBits = bits;
    glTarget.cache.framebuffer = 0;
  }
  if (glTarget.windowAlphaBits != 0) return false;
  return glTarget.bpp > 16 || PrepareInPlaceRounding();
}
}  // namespace

void BindSceneFramebuffer() {
  if (!glTarget.frameBegun) {
    glTarget.frameBegun = true;
    glTarget.straight = CanDrawStraightIntoWindow();
  }
  long framebuffer = glTarget.straight ? 0 : (long)glTarget.sceneFramebuffer;
  if (glTarget.cache.framebuffer == framebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, (GLuint)framebuffer);
  glTarget.cache.framebuffer = framebuffer;
}

void ForgetGlState() { glTarget.cache = GlStateCache(); }
