// The GL target: the scene is drawn into the window's own buffer or an
// off-screen colour texture of the display mode's size (see PresentPath), and
// presented in the window scaled to fit with its aspect kept (black bars fill
// the rest), rounded as a display of the mode's depth would (gl_rounding.cpp).
// A second texture of that size holds the picture as shown, for readers after
// the present. The monitor's own mode never changes.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "directx/gl_program.h"
#include "driver.h"

namespace {
// Where the picture of the last present can be read.
enum class PictureAt {
  Nowhere,        // nothing presented yet, or swapped away unkept
  Window,         // the window's buffer, during the present of a frame drawn there
  PictureTarget,  // the picture as shown, kept or rounded
  SceneTarget,    // the scene's target as it is
  SceneUnrounded  // the scene's target, to be rounded to 16 bits into the picture target
};

// Everything made in one context: a new context starts it afresh as a whole.
struct GlContextState {
  HWND window = nullptr;
  void* handle = nullptr;
  DWORD width = 0;  // the display mode's
  DWORD height = 0;
  DWORD bpp = 0;
  int windowWidth = 0;  // the window's size the path was chosen for
  int windowHeight = 0;
  bool clipControl = false;  // GL can clip depth to 0..1 as Direct3D does
  GLuint sceneFramebuffer = 0;
  GLuint sceneTexture = 0;
  GLuint pictureFramebuffer = 0;
  GLuint pictureTexture = 0;
  GLuint fromSceneProgram = 0;                  // rounds to 16 bits on the way from the scene's target
  GLuint inPlaceProgram = 0;                    // rounds to 16 bits in the window itself
  PresentPath path = PresentPath::SceneTarget;  // the path frames take
  std::optional<PresentPath> frame;             // the frame being drawn: none until its first draw
  PictureAt picture = PictureAt::Nowhere;
};

struct GlTarget {
  // These outlive every context.
  uint32_t generation = 0;
  bool dither = false;
  bool keepPictures = false;  // copy the window's picture before every swap
  GlContextState context;
};
GlTarget glTarget;

bool GlHasExtension(const char* name) {
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    auto* extension = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, (GLuint)i));
    if (extension && std::string(extension) == name) return true;
  }
  return false;
}

// States every draw shares, set once per context.
void SetFixedState() {
  GLint major = 0, minor = 0;
  glGetIntegerv(GL_MAJOR_VERSION, &major);
  glGetIntegerv(GL_MINOR_VERSION, &minor);
  glTarget.context.clipControl = major > 4 || (major == 4 && minor >= 5) || GlHasExtension("GL_ARB_clip_control");
  if (glTarget.context.clipControl) glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DITHER);  // 16-bit dithering is done when the picture is made
  glActiveTexture(GL_TEXTURE0);
}

// The one place the path is chosen, for the window's size and the mode. The
// window's buffer must have no alpha of its own to hold the scene, as the
// scene's target has none; at 16 bits GL must round the window in place.
PresentPath ChoosePresentPath() {
  GlContextState& made = glTarget.context;
  if (made.windowWidth != (int)made.width || made.windowHeight != (int)made.height) return PresentPath::SceneTarget;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  ForgetGlState();
  GLint alphaBits = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE, &alphaBits);
  if (alphaBits != 0) return PresentPath::SceneTarget;
  if (made.bpp > 16) return PresentPath::Straight;
  if (!made.inPlaceProgram) made.inPlaceProgram = MakeRoundingProgram(true);
  return made.inPlaceProgram ? PresentPath::StraightRounded : PresentPath::SceneTarget;
}

// Rounds the scene's target to 16 bits into a rectangle of a framebuffer;
// false when GL cannot.
bool RoundSceneInto(GLuint framebuffer, const Letterbox& box) {
  GlContextState& made = glTarget.context;
  if (!made.fromSceneProgram) made.fromSceneProgram = MakeRoundingProgram(false);
  if (!made.fromSceneProgram) return false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(box.x, box.y, box.width, box.height);
  DrawRounded(made.fromSceneProgram, glTarget.dither, made.sceneTexture, made.width, made.height);
  return true;
}

// The frame lies in the window already. The window's buffer is undefined once
// swapped: whatever reads the picture reads it now, and a kept copy after.
void ShowWindowPicture(bool round) {
  GlContextState& made = glTarget.context;
  if (round) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, (GLsizei)made.width, (GLsizei)made.height);
    DrawRounded(made.inPlaceProgram, glTarget.dither, 0, made.width, made.height);
  }
  made.picture = PictureAt::Window;
  CaptureDueFrames(timeGetTime(), (int)made.width, (int)made.height);
  made.picture = PictureAt::Nowhere;
  if (!glTarget.keepPictures) return;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, made.pictureFramebuffer);
  GLint size[2] = {(GLint)made.width, (GLint)made.height};
  glBlitFramebuffer(0, 0, size[0], size[1], 0, 0, size[0], size[1], GL_COLOR_BUFFER_BIT, GL_NEAREST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  ForgetGlState();
  made.picture = PictureAt::PictureTarget;
}

void ShowSceneTarget() {
  GlContextState& made = glTarget.context;
  bool sixteenBit = made.bpp <= 16;
  made.picture = sixteenBit ? PictureAt::SceneUnrounded : PictureAt::SceneTarget;
  CaptureDueFrames(timeGetTime(), (int)made.width, (int)made.height);
  Letterbox box = ClearAroundPicture((int)made.width, (int)made.height, made.windowWidth, made.windowHeight);
  if (!sixteenBit || !RoundSceneInto(0, box))
    BlitPicture(made.sceneFramebuffer, (int)made.width, (int)made.height, box);
}

}  // namespace

bool PrepareGlTarget(HWND window, DWORD width, DWORD height, DWORD bpp) {
  void* handle = PortGlContext(window);
  if (!handle) return false;
  GlContextState& made = glTarget.context;
  // A context made after another was destroyed may come back at the same
  // address; its objects tell them apart.
  bool fresh = handle != made.handle || window != made.window || !glIsFramebuffer(made.sceneFramebuffer);
  if (fresh) {
    made = GlContextState();
    made.window = window;
    made.handle = handle;
    ++glTarget.generation;
    SetFixedState();
  }
  bool remade = fresh || width != made.width || height != made.height;
  if (remade) {
    MakeGlColourTarget(&made.sceneFramebuffer, &made.sceneTexture, width, height);
    MakeGlColourTarget(&made.pictureFramebuffer, &made.pictureTexture, width, height);
    made.width = width;
    made.height = height;
    ForgetGlState();
  }
  // Another program may resize a daemon's window at any time.
  int windowWidth = 0, windowHeight = 0;
  PortWindowSize(window, &windowWidth, &windowHeight);
  if (remade || bpp != made.bpp || windowWidth != made.windowWidth || windowHeight != made.windowHeight) {
    made.bpp = bpp;
    made.windowWidth = windowWidth;
    made.windowHeight = windowHeight;
    made.path = ChoosePresentPath();
  }
  return true;
}

bool MakeGlTargetCurrent() {
  const GlContextState& made = glTarget.context;
  return made.handle && PortGlContext(made.window) == made.handle;
}

PresentPath ChosenPresentPath() { return glTarget.context.path; }

GLuint SceneFramebuffer() {
  GlContextState& made = glTarget.context;
  if (!made.frame) made.frame = made.path;
  return *made.frame == PresentPath::SceneTarget ? made.sceneFramebuffer : 0;
}

bool GlClipsDepth() { return glTarget.context.clipControl; }

uint32_t GlTargetGeneration() { return glTarget.generation; }

void PresentGlTarget(bool waitForVsync) {
  FlushGlDraws();
  if (!MakeGlTargetCurrent()) {
    PortNoteFramePresented();
    return;
  }
  GlContextState& made = glTarget.context;
  // A frame that drew nothing shows the scene's target, which still holds
  // what was drawn into it last.
  PresentPath path = made.frame.value_or(PresentPath::SceneTarget);
  if (path == PresentPath::SceneTarget)
    ShowSceneTarget();
  else
    ShowWindowPicture(path == PresentPath::StraightRounded);
  if (PortWindow* w = PortWindowOf(made.window)) w->video->present(w, waitForVsync ? 1 : 0);
  made.frame.reset();
  ForgetGlState();
  PortNoteFramePresented();
}

std::vector<uint8_t> ReadPresentedPicture() {
  FlushGlDraws();
  GlContextState& made = glTarget.context;
  if (made.picture == PictureAt::Nowhere || !MakeGlTargetCurrent()) return {};
  if (made.picture == PictureAt::SceneUnrounded)
    made.picture = RoundSceneInto(made.pictureFramebuffer, {0, 0, (int)made.width, (int)made.height})
                       ? PictureAt::PictureTarget
                       : PictureAt::SceneTarget;
  GLuint source = made.picture == PictureAt::Window          ? 0
                  : made.picture == PictureAt::PictureTarget ? made.pictureFramebuffer
                                                             : made.sceneFramebuffer;
  return ReadGlFramebuffer(source, made.width, made.height);
}

void KeepPresentedPictures(bool keep) { glTarget.keepPictures = keep; }

void DitherPresentedPictures(bool dither) { glTarget.dither = dither; }
