// Preloaded into the program by first_frame.py --timeline: notes the
// monotonic clock as the start reaches each step (libraries loaded, video,
// window, GL context, first shader, textures, music, first present) in the
// file TIMELINE_FILE, one "milliseconds step" line each. The program is the
// real one; each wrapped call goes straight on to the library's own.
#include <dlfcn.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace {
FILE* timeline = nullptr;

void Note(const char* step) {
  if (!timeline) return;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(timeline, "%.1f %s\n", now.tv_sec * 1e3 + now.tv_nsec / 1e6, step);
  std::fflush(timeline);
}

// Notes the step the first time only.
void NoteOnce(bool* noted, const char* step) {
  if (*noted) return;
  *noted = true;
  Note(step);
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void Open() {
  if (const char* path = std::getenv("TIMELINE_FILE")) timeline = std::fopen(path, "a");
  Note("libraries loaded");
}
}  // namespace

// Each wrapper's parameters are opaque here: only the order and timing matter.
#define PASS_ON(result, name, params, args, before, after) \
  extern "C" result name params {                          \
    static auto next = Next<result(*) params>(#name);      \
    before;                                                \
    result made = next args;                               \
    after;                                                 \
    return made;                                           \
  }

PASS_ON(int, SDL_InitSubSystem, (unsigned flags), (flags), (void)0, Note(flags & 0x20 ? "video ready" : "audio ready"))
PASS_ON(void*, SDL_CreateWindow, (const char* t, int x, int y, int w, int h, unsigned f), (t, x, y, w, h, f),
        Note("window asked for"), Note("window made"))
PASS_ON(void*, SDL_GL_CreateContext, (void* w), (w), (void)0, Note("GL context made"))
PASS_ON(void*, new_fluid_synth, (void* s), (s), Note("synthesiser asked for"), Note("synthesiser made"))
PASS_ON(int, fluid_synth_sfload, (void* s, const char* p, int r), (s, p, r), (void)0, Note("instruments loaded"))
PASS_ON(int, fluid_player_play, (void* p), (p), (void)0, Note("tune started"))

extern "C" void glLinkProgram(unsigned program) {
  static auto next = Next<void (*)(unsigned)>("glLinkProgram");
  next(program);
  static bool noted = false;
  NoteOnce(&noted, "first shader linked");
}

extern "C" void glTexImage2D(unsigned target, int level, int internal, int w, int h, int border, unsigned format,
                             unsigned type, const void* pixels) {
  static auto next = Next<void (*)(unsigned, int, int, int, int, int, unsigned, unsigned, const void*)>("glTexImage2D");
  next(target, level, internal, w, h, border, format, type, pixels);
  if (pixels) Note("texture uploaded");
}

extern "C" void SDL_GL_SwapWindow(void* window) {
  static auto next = Next<void (*)(void*)>("SDL_GL_SwapWindow");
  next(window);
  static int presents = 0;
  static const char* const names[] = {"first present", "second present", "third present"};
  if (presents < 3) Note(names[presents++]);
}

extern "C" void glReadPixels(int x, int y, int w, int h, unsigned format, unsigned type, void* pixels) {
  static auto next = Next<void (*)(int, int, int, int, unsigned, unsigned, void*)>("glReadPixels");
  Note("picture read back");
  next(x, y, w, h, format, type, pixels);
}
