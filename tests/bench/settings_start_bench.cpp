// The settings reads of a saver start over a settings file that also holds
// 100,000 values of other programs: once as a first run (every default is
// written) and once as a later run (every value is found), each in a fresh
// process so nothing parsed before is reused. Prints milliseconds.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "settings/settings.h"

namespace {
void ReadWhatTheSaverReadsAtStart() {
  DWORD value;
  GUID guid;
  ReadDwordSetting(DisplayWidthSetting, &value, &DefaultDisplayWidth);
  ReadDwordSetting(DisplayHeightSetting, &value, &DefaultDisplayHeight);
  ReadDwordSetting(DisplayBppSetting, &value, &DefaultDisplayBpp);
  ReadDwordSetting(UseNullDriverSetting, &value, &DefaultUseNullDriver);
  ReadGuidSetting(DeviceGuidSetting, &guid, &DefaultDeviceGuid);
  ReadDwordSetting(MusicSetting, &value, &DefaultMusic);
}

double TimeInAFreshProcess() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    auto start = std::chrono::steady_clock::now();
    ReadWhatTheSaverReadsAtStart();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (write(pipeEnds[1], &ms, sizeof ms) != sizeof ms) _exit(1);
    _exit(0);
  }
  double ms = -1;
  if (read(pipeEnds[0], &ms, sizeof ms) != sizeof ms) ms = -1;
  waitpid(child, nullptr, 0);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  return ms;
}
}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  char pattern[] = "/tmp/glimmerz-settings-bench-XXXXXX";
  std::string home = mkdtemp(pattern);
  setenv("XDG_CONFIG_HOME", home.c_str(), 1);
  mkdir((home + "/glimmerz").c_str(), 0700);
  std::string file = home + "/glimmerz/settings.reg";
  {
    std::ofstream out(file, std::ios::binary);
    out << "Windows Registry Editor Version 5.00\r\n";
    for (int i = 0; i < count; ++i) {
      if (i % 1000 == 0) out << "\r\n[HKEY_CURRENT_USER\\Software\\Other\\Part" << i / 1000 << "]\r\n";
      out << "\"value" << i << "\"=dword:" << std::hex << i << std::dec << "\r\n";
    }
  }
  struct stat s;
  stat(file.c_str(), &s);
  std::printf("%d other values, %.1f MB\n", count, s.st_size / 1e6);
  std::printf("first start (defaults written): %.0f ms\n", TimeInAFreshProcess());
  std::printf("later start (values found):     %.0f ms\n", TimeInAFreshProcess());
  std::system(("rm -rf '" + home + "'").c_str());
  return 0;
}
