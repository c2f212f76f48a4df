// Every test binary that draws for real runs against its own virtual X display,
// started before the first test and stopped after the last, and keeps its
// registry file in a private folder, so the user's settings are never touched.
// The server dies with the test process even when that crashes, so nothing is
// left running.
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "port_internal.h"

namespace {
class XvfbEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    char folder[] = "/tmp/glimmerz-display-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    settings = folder;
    setenv("XDG_CONFIG_HOME", folder, 1);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    server = fork();
    ASSERT_GE(server, 0);
    if (server == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      close(fds[0]);
      int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      std::string fd = std::to_string(fds[1]);
      // Xvfb picks a free display number itself and writes it to the pipe.
#ifdef GLIMMERZ_SECOND_MONITOR
      // A second X screen is a second monitor, and so a second board.
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-screen", "1", "800x600x24",
             "-noreset", "-nolisten", "tcp", (char*)nullptr);
#endif
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-noreset", "-nolisten", "tcp",
             (char*)nullptr);
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }

  void TearDown() override {
    PortExit();
    if (server > 0) {
      kill(server, SIGTERM);
      waitpid(server, nullptr, 0);
    }
    std::system(("rm -rf '" + settings + "'").c_str());
  }

 private:
  std::string settings;
  pid_t server = -1;
};

testing::Environment* const xvfb = testing::AddGlobalTestEnvironment(new XvfbEnvironment);
}  // namespace
