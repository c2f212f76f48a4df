// The real-time output: with no sound device to be had, the synthesiser plays
// into SDL's silent dummy device, so the tune still runs, ends and is reported.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "music_port/port_music.h"

namespace {

std::atomic<double> loudest{0};

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

TEST(PortMusicDevice, WithNoWorkingAudioDriverTheTunePlaysIntoTheSilentSinkAndReportsItsEnd) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  loudest = 0;
  ObservePortMusicOutput(NoteLoudest);
  CapturedStderr stderrText;
  int stops = 0;
  double stoppedAfter = -1;
  {
    PortMusicSession music(MusicSinkKind::Device);
    ASSERT_EQ(music.started, S_OK);
    EXPECT_STREQ(PortMusicDriver(music.performance), "dummy");
    Bytes dls = KnownInstruments();
    ASSERT_EQ(music.Load(BuildMidiFile(KnownSong()), &dls), S_OK);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(music.Play(), S_OK);
    for (double elapsed = 0; elapsed < 5.0 && !stops;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      stops = music.TakeStopNotifications();
      if (stops) stoppedAfter = elapsed;
    }
  }
  ObservePortMusicOutput(nullptr);
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_EQ(stderrText.Text(), "");
  EXPECT_GT(loudest.load(), 0.05);
  EXPECT_EQ(stops, 1);
  // The dummy device takes samples at the pace a sound card would.
  EXPECT_GT(stoppedAfter, 1.9);
  EXPECT_LT(stoppedAfter, 3.0);
}

}  // namespace
