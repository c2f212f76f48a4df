// The program shows no messages, and a terminal is no exception: the libraries
// under the music report what they try and fail (a collection that is not a
// SoundFont, a missing sound card) on stderr unless told otherwise.
#include <dlfcn.h>
#include <glib.h>

#include "fluid_performance.h"

static void DiscardGlibMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
static void DiscardAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

void SilenceMusicLibraries() {
  static bool done = false;
  if (done) return;
  done = true;
  for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
  // The DLS reader logs without a domain of its own, through GLib.
  auto levels = GLogLevelFlags(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR);
  for (const char* domain : {static_cast<const char*>(nullptr), "GLib", "GLib-GObject"})
    g_log_set_handler(domain, levels, DiscardGlibMessage, nullptr);
}

void SilenceSoundSystem() {
  static bool done = false;
  if (done) return;
  done = true;
  // SDL loads ALSA's library itself; opening it here first reaches the same copy.
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!alsa) return;
  typedef void (*ErrorHandler)(const char*, int, const char*, int, const char*, ...);
  typedef int (*SetErrorHandler)(ErrorHandler);
  if (auto set = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(DiscardAlsaMessage);
  // Kept open for the rest of the run, so the handler stays in place.
}
