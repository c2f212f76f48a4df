// The real program on a window it did not make, as a daemon's settings program
// hands over its preview pane: the picture fits the window with its aspect kept
// and follows a resize, input there does not end the show, SIGTERM ends it with
// exit code 0, and so does the window going away.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
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
  HostWindow(int width, int height) {
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width, height, 0, 0, 0);
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
  // Share of red-rock pixels inside the box, and whether everything outside it is black.
  bool RockFills(Box box, int width, int height) {
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) return false;
    long red = 0, inside = 0, litOutside = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        unsigned long p = XGetPixel(image, x, y);
        int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        bool in = x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1;
        if (in) {
          ++inside;
          red += r > 60 && r > 2 * g && r > 2 * b;
        } else if (r + g + b > 0) {
          ++litOutside;
        }
      }
    XDestroyImage(image);
    return red > inside / 2 && litOutside == 0;
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

TEST(HackWindow, ThePictureFitsTheDaemonsWindowFollowsAResizeIgnoresInputAndEndsOnSigterm) {
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
  EXPECT_TRUE(show.ExitedWithZero());
}

TEST(HackWindow, TheShowEndsWithExitZeroWhenTheDaemonsWindowGoesAway) {
  HostWindow host(320, 240);
  Program show({"--window-id", "0x" + [&] {
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

TEST(HackWindow, AWindowIdThatNamesNoWindowEndsTheRunQuietly) {
  Program show({"--window-id", "0x1fffffff"}, {});
  EXPECT_TRUE(Eventually([&] { return !show.Running(); }, 30));
  EXPECT_TRUE(show.ExitedWithZero());
}
}  // namespace
