// The real-time output: with no sound device to be had, the synthesiser runs on
// the silent clock, so the tune still advances, ends and is reported.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "port_dmusic/port_music.h"

namespace {

std::atomic<double> loudest{0};  // over every block rendered

void NoteLoudest(const float* interleaved, int frames) {
  for (int i = 0; i < 2 * frames; ++i)
    if (std::fabs(interleaved[i]) > loudest) loudest = std::fabs(interleaved[i]);
}

// Everything written to stderr while it lives, for the asking.
struct CapturedStderr {
  int saved = dup(2);
  int file = memfd_create("stderr", 0);
  CapturedStderr() { dup2(file, 2); }
  std::string Text() {
    dup2(saved, 2);
    std::string text;
    char buffer[4096];
    lseek(file, 0, SEEK_SET);
    for (ssize_t n; (n = read(file, buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(file);
    close(saved);
    return text;
  }
};

// Plays the known tune on a Device performance in real time, polling as the
// saver does, and reports what came of it.
struct RealTimeRun {
  HRESULT started = E_FAIL;
  std::string driver;
  std::string stderrText;
  double loudest = 0;
  int stops = 0;
  double stoppedAfter = -1;
};

RealTimeRun PlayInRealTime() {
  RealTimeRun run;
  ::loudest = 0;
  ObservePortMusicOutput(NoteLoudest);
  CapturedStderr stderrText;
  {
    PortMusicSession music(MusicSinkKind::Device);
    run.started = music.started;
    run.driver = PortMusicDriver(music.performance);
    Bytes dls = KnownInstruments();
    if (SUCCEEDED(music.started) && SUCCEEDED(music.Load(BuildMidiFile(KnownSong()), &dls))) {
      auto start = std::chrono::steady_clock::now();
      music.Play();
      for (double elapsed = 0; elapsed < 5.0 && !run.stops;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.stops = music.TakeStopNotifications();
        if (run.stops) run.stoppedAfter = elapsed;
      }
    }
  }
  ObservePortMusicOutput(nullptr);
  run.stderrText = stderrText.Text();
  run.loudest = ::loudest;
  return run;
}

TEST(PortMusicDevice, WithNoWorkingAudioDriverTheTuneStillRunsItsCourseInSilence) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  RealTimeRun run = PlayInRealTime();
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(run.started, S_OK);
  EXPECT_EQ(run.driver, "silent");
  EXPECT_GT(run.loudest, 0.05);  // rendered, though nobody hears it
  EXPECT_EQ(run.stops, 1);
  // Rendered at the pace a sound card would take it.
  EXPECT_GT(run.stoppedAfter, 1.95);
  EXPECT_LT(run.stoppedAfter, 2.6);
  EXPECT_EQ(run.stderrText, "");
}

TEST(PortMusicDevice, ASoundSystemWithoutDevicesSaysNothingOnTheTerminal) {
  // ALSA with an empty configuration knows no device and complains about it.
  setenv("SDL_AUDIODRIVER", "alsa", 1);
  setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
  RealTimeRun run = PlayInRealTime();
  unsetenv("SDL_AUDIODRIVER");
  unsetenv("ALSA_CONFIG_PATH");
  EXPECT_EQ(run.started, S_OK);
  EXPECT_EQ(run.driver, "silent");
  EXPECT_EQ(run.stops, 1);
  EXPECT_EQ(run.stderrText, "");
}

}  // namespace
