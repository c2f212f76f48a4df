// A daemon's options as main reads them, before the program sees its line.
#include <gtest/gtest.h>

#include "port_internal.h"

namespace {
DaemonOptions Read(std::vector<std::string> args, const char* daemonWindow = nullptr) {
  args.insert(args.begin(), "glimmerz");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  return ReadDaemonOptions((int)argv.size(), argv.data(), daemonWindow);
}
}  // namespace

TEST(DaemonOptions, WindowIdsAreDecimalOrHexadecimalAndAnythingElseNamesNoWindow) {
  EXPECT_EQ(ReadWindowId("4194311"), 4194311ul);
  EXPECT_EQ(ReadWindowId("0X1aF"), 0x1AFul);
  EXPECT_EQ(ReadWindowId("0xffffffff"), 0xFFFFFFFFul);
  EXPECT_EQ(ReadWindowId("4294967295"), 0xFFFFFFFFul);
  for (const char* bad : {"", "0x", "-5", " 12", "+7", "12abc", "0x1g", "4294967296", "0x100000000"})
    EXPECT_EQ(ReadWindowId(bad), 0ul) << bad;
}

TEST(DaemonOptions, TheWindowToDrawOn) {
  struct Case {
    std::vector<std::string> line;
    const char* daemonWindow;
    PortSaverPlace window;
    unsigned long host;
    bool onRoot;
  } cases[] = {
      {{"--root"}, "0x600003", PortSaverPlace::Host, 0x600003, false},
      {{"-root"}, nullptr, PortSaverPlace::Host, 0, true},
      // A daemon's window that is nonsense is no window, never the screen.
      {{"--root"}, "window", PortSaverPlace::Host, 0, false},
      {{"--root", "-window-id", "77", "--window"}, "0x600003", PortSaverPlace::Host, 77, false},
      {{"--window-id"}, nullptr, PortSaverPlace::Host, 0, false},
      {{"--window", "-fps"}, nullptr, PortSaverPlace::Own, 0, false},
      // Windows-style switches and words of no meaning are the program's.
      {{"/s"}, "0x600003", PortSaverPlace::Ordinary, 0, false},
      {{"-p", "1234"}, nullptr, PortSaverPlace::Ordinary, 0, false},
      {{"-fps"}, nullptr, PortSaverPlace::Ordinary, 0, false},
  };
  for (const Case& c : cases) {
    DaemonOptions options = Read(c.line, c.daemonWindow);
    SCOPED_TRACE(c.line.empty() ? "" : c.line[0]);
    EXPECT_EQ(options.recognised, c.window != PortSaverPlace::Ordinary);
    EXPECT_EQ(options.window, c.window);
    EXPECT_EQ(options.host, c.host);
    EXPECT_EQ(options.onRootWindow, c.onRoot);
  }
}
