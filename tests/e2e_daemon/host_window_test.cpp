// The real program on a window it did not make, as a daemon's settings program
// hands over its preview pane: the picture fits the window with its aspect kept
// and follows a resize, input there does not end the show, SIGTERM ends it the
// way it ends every program that keeps its default, and the window going away
// ends it with exit code 0.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "port.h"
// After GoogleTest: Xlib's None and Bool macros clash with its names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {
struct Box {
  int x0, y0, x1, y1;
};

// A plain X11 window of the test's own, standing in for the preview pane.
struct HostWindow {
  Display* display = XOpenDisplay(nullptr);
  Window window = 0;
  // Side by side when there are several: XGetImage sees only what is not covered.
  HostWindow(int width, int height, int left = 0) {
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), left, 0, width, height, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
  }
  ~HostWindow() {
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
  }
  void Resize(int width, int height) {
    XResizeWindow(display, window, width, height);
    XSync(display, False);
  }
  void Destroy() {
    XDestroyWindow(display, window);
    XSync(display, False);
    window = 0;
  }
  // Red-rock pixels fill most of the box, and everything outside it is black.
  bool RockFills(Box box, int width, int height) {
    long red = 0, inside = 0, litOutside = 0;
    bool read = ForEachPixel(width, height, [&](int x, int y, int r, int g, int b) {
      if (x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1) {
        ++inside;
        red += r > 60 && r > 2 * g && r > 2 * b;
      } else {
        litOutside += r + g + b > 0;
      }
    });
    return read && red > inside / 2 && litOutside == 0;
  }
  bool Lit(int width, int height) {
    long lit = 0;
    return ForEachPixel(width, height, [&](int, int, int r, int g, int b) { lit += r + g + b > 0; }) && lit > 0;
  }
  bool ForEachPixel(int width, int height, const std::function<void(int, int, int, int, int)>& visit) {
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return false;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        unsigned long p = XGetPixel(image, x, y);
        visit(x, y, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      }
    XDestroyImage(image);
    return true;
  }
};

struct Program {
  pid_t pid = -1;
  int status = -1;
  Program(std::vector<std::string> arguments, std::vector<std::string> environment) {
    pid = fork();
    if (pid == 0) {
      for (std::string& e : environment) putenv(&e[0]);
      std::vector<char*> argv{const_cast<char*>(GLIMMERZ_PROGRAM)};
      for (std::string& a : arguments) argv.push_back(&a[0]);
      argv.push_back(nullptr);
      execv(GLIMMERZ_PROGRAM, argv.data());
      _exit(127);
    }
  }
  ~Program() {
    if (Running()) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
  }
  bool Running() {
    if (status != -1) return false;
    return waitpid(pid, &status, WNOHANG) == 0 ? (status = -1, true) : false;
  }
  bool ExitedWithZero() { return !Running() && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
  bool EndedBy(int signal) { return !Running() && WIFSIGNALED(status) && WTERMSIG(status) == signal; }
};

// Waits for a condition, not for a time; the limit only keeps a broken run from hanging.
bool Eventually(const std::function<bool()>& condition, int seconds = 90) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Fast virtual time brings the red rock backdrop of the bullet pages round
// quickly and again and again.
const char* FastShow = "GLIMMERZ_FRAME_MS=250";

TEST(DaemonWindow, ThePictureFitsTheDaemonsWindowFollowsAResizeIgnoresInputAndEndsOnSigterm) {
  HostWindow host(320, 240);
  Program show({"--root"}, {FastShow, "XSCREENSAVER_WINDOW=" + std::to_string(host.window)});
  ASSERT_TRUE(Eventually([&] { return host.RockFills({0, 0, 320, 240}, 320, 240); }));

  std::string id = std::to_string(host.window);
  ASSERT_EQ(0, std::system(("xdotool mousemove --window " + id + " 10 10 mousemove --window " + id +
                            " 200 100 click 1 key --window " + id + " space 2>/dev/null")
                               .c_str()));
  // 640x480 in 480x200: 267x200 in the middle, black bars left and right.
  host.Resize(480, 200);
  EXPECT_TRUE(Eventually([&] { return host.RockFills({107, 0, 373, 200}, 480, 200); }));
  EXPECT_TRUE(show.Running());

  kill(show.pid, SIGTERM);
  EXPECT_TRUE(Eventually([&] { return !show.Running(); }, 10));
  EXPECT_TRUE(show.EndedBy(SIGTERM));
}

// A stored choice of the second monitor places a window of the saver's own
// there; the daemon's window stays where the daemon put it.
TEST(DaemonWindow, AStoredSecondMonitorLeavesTheDaemonsWindowAlone) {
  GUID second = {};
  DirectDrawEnumerateA(
      [](GUID* guid, LPSTR, LPSTR, LPVOID found) -> BOOL {
        if (guid) *static_cast<GUID*>(found) = *guid;
        return !guid;
      },
      &second);
  ASSERT_NE(second.Data1, 0u) << "no second board";
  std::string folder = std::string(std::getenv("XDG_CONFIG_HOME")) + "/glimmerz";
  mkdir(folder.c_str(), 0700);
  FILE* settings = fopen((folder + "/settings.reg").c_str(), "w");
  fprintf(settings,
          "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\r\n"
          "\"UseNULLddguid\"=dword:00000000\r\n\"ddguid\"=hex:");
  for (size_t i = 0; i < sizeof second; ++i) fprintf(settings, i ? ",%02x" : "%02x", ((BYTE*)&second)[i]);
  fprintf(settings, "\r\n");
  fclose(settings);

  HostWindow host(320, 240);
  Program show({"--window-id", std::to_string(host.window)}, {FastShow});
  ASSERT_TRUE(Eventually([&] { return host.RockFills({0, 0, 320, 240}, 320, 240); }));
  Window root;
  int x, y;
  unsigned width, height, border, depth;
  XGetGeometry(host.display, host.window, &root, &x, &y, &width, &height, &border, &depth);
  EXPECT_EQ((std::vector<int>{0, 0, 320, 240}), (std::vector<int>{x, y, (int)width, (int)height}));
  unlink((folder + "/settings.reg").c_str());
}

TEST(DaemonWindow, TheShowEndsWithExitZeroWhenTheDaemonsWindowGoesAway) {
  HostWindow host(320, 240);
  Program show({"--window-id", "0x" +
                                   [&] {
                                     char hex[32];
                                     snprintf(hex, sizeof hex, "%lx", host.window);
                                     return std::string(hex);
                                   }()},
               {FastShow});
  ASSERT_TRUE(Eventually([&] { return host.RockFills({0, 0, 320, 240}, 320, 240); }));
  host.Destroy();
  EXPECT_TRUE(Eventually([&] { return !show.Running(); }, 10));
  EXPECT_TRUE(show.ExitedWithZero());
}

TEST(DaemonWindow, AWindowIdThatNamesNoWindowEndsTheRunQuietly) {
  Program show({"--window-id", "0x1fffffff"}, {});
  EXPECT_TRUE(Eventually([&] { return !show.Running(); }, 30));
  EXPECT_TRUE(show.ExitedWithZero());
}

// Each copy's sound goes to a pipe of its own through ALSA's file plugin; the
// test reads the pipes at about the pace of a sound card.
struct SoundPipe {
  std::string config;
  int fd = -1;
  long bytes = 0;
  SoundPipe(const std::string& folder, const std::string& name) {
    std::string pipe = folder + "/" + name + ".raw";
    mkfifo(pipe.c_str(), 0600);
    fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    config = folder + "/" + name + ".conf";
    FILE* f = fopen(config.c_str(), "w");
    fprintf(f, "pcm.!default { type file slave.pcm \"null\" file \"%s\" format \"raw\" }\npcm.null { type null }\n",
            pipe.c_str());
    fclose(f);
  }
  ~SoundPipe() { close(fd); }
  void Drain() {
    char block[4096];
    ssize_t n = read(fd, block, sizeof block);
    if (n > 0) bytes += n;
  }
};

TEST(DaemonWindow, TwoCopiesAtOncePlayOneTune) {
  char folder[] = "/tmp/glimmerz-tune-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(folder));
  SoundPipe leftSound(folder, "left"), rightSound(folder, "right");
  HostWindow left(320, 240), right(320, 240, 400);
  auto copy = [&](HostWindow& host, SoundPipe& sound) {
    return std::vector<std::string>{"XSCREENSAVER_WINDOW=" + std::to_string(host.window), "SDL_AUDIODRIVER=alsa",
                                    "ALSA_CONFIG_PATH=" + sound.config, std::string("XDG_RUNTIME_DIR=") + folder};
  };
  Program first({"--root"}, copy(left, leftSound));
  Program second({"--root"}, copy(right, rightSound));
  // Both shows on screen means both started their music; then one of them is
  // heard for a while, and the other never.
  EXPECT_TRUE(Eventually([&] {
    leftSound.Drain();
    rightSound.Drain();
    return left.Lit(320, 240) && right.Lit(320, 240) && leftSound.bytes + rightSound.bytes > 256 * 1024;
  }));
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(second.Running());
  EXPECT_TRUE((leftSound.bytes > 0) != (rightSound.bytes > 0)) << leftSound.bytes << " and " << rightSound.bytes;
  std::system(("rm -rf " + std::string(folder)).c_str());
}
}  // namespace
