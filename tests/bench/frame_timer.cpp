// Linked into a copy of the program with its frame call wrapped: counts the
// frames each phase gets and the wall time it holds the screen, and prints the
// table when the program ends. The program itself is unchanged.
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "shell/shell.h"

extern "C" void __real__Z15RenderShowFramev();

namespace {
const char* const phaseNames[11] = {"",
                                    "SignFade",
                                    "BulbTitle",
                                    "BulbZoom",
                                    "",
                                    "HeadlineFlyIn",
                                    "HeadlineJolt",
                                    "HeadlineFlyOut",
                                    "BulletTyping",
                                    "BulletHold",
                                    "BulletSpin"};

double Seconds(clockid_t clock) {
  timespec ts;
  clock_gettime(clock, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

struct PhaseTimes {
  long frames = 0;
  double wall = 0;        // from one frame's start to the next's
  double frameCpu = 0;    // this thread's processor time inside the frame call
  double processCpu = 0;  // every thread's (the renderer's workers too), frame to frame
};

struct Table {
  PhaseTimes phases[11];
  int lastPhase = -1;
  double lastStart = 0;
  double lastProcessCpu = 0;
  ~Table() {
    const char* label = std::getenv("GLIMMERZ_BENCH_LABEL");
    // The last column does not depend on what else the machine runs: the
    // processor time every frame costs, summed over the program's threads.
    std::printf("%s\n%-15s %7s %8s %8s %14s %14s\n", label ? label : "", "phase", "frames", "seconds", "fps",
                "frame cpu ms", "all cpu ms");
    for (int p = 1; p <= 10; ++p) {
      const PhaseTimes& t = phases[p];
      if (t.frames == 0) continue;
      std::printf("%-15s %7ld %8.2f %8.1f %14.3f %14.3f\n", phaseNames[p], t.frames, t.wall, t.frames / t.wall,
                  1000 * t.frameCpu / t.frames, 1000 * t.processCpu / t.frames);
    }
    std::fflush(stdout);
  }
};
Table table;
}  // namespace

extern "C" void __wrap__Z15RenderShowFramev() {
  double start = Seconds(CLOCK_MONOTONIC);
  double processCpu = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  if (table.lastPhase >= 1 && table.lastPhase <= 10) {
    PhaseTimes& t = table.phases[table.lastPhase];
    t.frames += 1;
    t.wall += start - table.lastStart;
    t.processCpu += processCpu - table.lastProcessCpu;
  }
  int phase = shell.showPhase;
  double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
  __real__Z15RenderShowFramev();
  if (phase >= 1 && phase <= 10) table.phases[phase].frameCpu += Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu;
  table.lastPhase = phase;
  table.lastStart = start;
  table.lastProcessCpu = processCpu;
}
