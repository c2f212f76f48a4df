#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "port_internal.h"

namespace {
// The clock reads its settings once per process, so each case runs in a child.
std::vector<DWORD> InChild(std::vector<std::pair<const char*, const char*>> env,
                           std::function<void(std::vector<DWORD>&)> run) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    for (const char* name : {"GLIMMERZ_FRAME_MS", "GLIMMERZ_CLOCK_START", "GLIMMERZ_RUN_MS"}) unsetenv(name);
    for (auto& e : env) setenv(e.first, e.second, 1);
    std::vector<DWORD> out;
    run(out);
    ssize_t ignored = write(fds[1], out.data(), out.size() * sizeof(DWORD));
    (void)ignored;
    _exit(0);
  }
  close(fds[1]);
  std::vector<DWORD> values;
  DWORD v;
  while (read(fds[0], &v, sizeof v) == (ssize_t)sizeof v) values.push_back(v);
  close(fds[0]);
  waitpid(child, nullptr, 0);
  return values;
}
}  // namespace

TEST(VirtualClock, StartsAtZeroAndMovesOnlyWithPresentedFrames) {
  auto values = InChild({{"GLIMMERZ_FRAME_MS", "16"}}, [](std::vector<DWORD>& out) {
    out.push_back(timeGetTime());
    out.push_back(timeGetTime());
    PortNoteFramePresented();
    out.push_back(timeGetTime());
    PortNoteFramePresented();
    PortNoteFramePresented();
    out.push_back(timeGetTime());
  });
  EXPECT_EQ(values, (std::vector<DWORD>{0, 0, 16, 48}));
}

TEST(VirtualClock, StartsWhereToldAndWrapsPast32Bits) {
  auto values =
      InChild({{"GLIMMERZ_FRAME_MS", "5"}, {"GLIMMERZ_CLOCK_START", "4294967290"}}, [](std::vector<DWORD>& out) {
        out.push_back(timeGetTime());
        PortNoteFramePresented();
        PortNoteFramePresented();
        out.push_back(timeGetTime());
      });
  EXPECT_EQ(values, (std::vector<DWORD>{4294967290u, 4u}));
}

TEST(VirtualClock, ABusyWaitOnTheTimerNeverStalls) {
  auto values = InChild({{"GLIMMERZ_FRAME_MS", "10"}}, [](std::vector<DWORD>& out) {
    DWORD start = timeGetTime();
    int reads = 1;
    while (timeGetTime() == start && reads < 100000) ++reads;
    out.push_back(timeGetTime() - start);
    out.push_back(reads < 100000);
  });
  EXPECT_EQ(values, (std::vector<DWORD>{10, 1}));
}

TEST(VirtualClock, TheRunLimitCountsFromTheFirstCheck) {
  auto values = InChild({{"GLIMMERZ_FRAME_MS", "10"}, {"GLIMMERZ_RUN_MS", "100"}}, [](std::vector<DWORD>& out) {
    out.push_back(PortRunLimitReached());
    for (int i = 0; i < 9; ++i) PortNoteFramePresented();
    out.push_back(PortRunLimitReached());
    PortNoteFramePresented();
    out.push_back(PortRunLimitReached());
  });
  EXPECT_EQ(values, (std::vector<DWORD>{0, 0, 1}));
}

TEST(VirtualClock, NonsenseSettingsLeaveTheRealClock) {
  for (const char* nonsense : {"abc", "-5", "0", "99999999999", "12x"}) {
    auto values = InChild({{"GLIMMERZ_FRAME_MS", nonsense}, {"GLIMMERZ_RUN_MS", "soon"}}, [](std::vector<DWORD>& out) {
      DWORD start = timeGetTime();
      usleep(30000);
      out.push_back(timeGetTime() - start);
      out.push_back(PortRunLimitReached());
    });
    ASSERT_EQ(values.size(), 2u) << nonsense;
    EXPECT_GE(values[0], 25u) << nonsense;
    EXPECT_LT(values[0], 1000u) << nonsense;
    EXPECT_EQ(values[1], 0u) << nonsense;
  }
}
