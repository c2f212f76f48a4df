// A daemon's options as main reads them, before the program sees its line.
#include <gtest/gtest.h>

#include "port_internal.h"

namespace {
HackOptions Read(std::vector<std::string> args, const char* daemonWindow = nullptr) {
  args.insert(args.begin(), "glimmerz");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  return ReadHackOptions((int)argv.size(), argv.data(), daemonWindow);
}
}  // namespace

TEST(HackOptions, WindowIdsAreDecimalOrHexadecimalAndAnythingElseNamesNoWindow) {
  EXPECT_EQ(ReadWindowId("4194311"), 4194311ul);
  EXPECT_EQ(ReadWindowId("0x400007"), 0x400007ul);
  EXPECT_EQ(ReadWindowId("0X1aF"), 0x1AFul);
  for (const char* bad : {"", "0x", "-5", " 12", "12 ", "+7", "12abc", "0x1g", "4294967296", "0x100000000"})
    EXPECT_EQ(ReadWindowId(bad), 0ul) << bad;
  EXPECT_EQ(ReadWindowId(nullptr), 0ul);
}

TEST(HackOptions, RootDrawsOnTheDaemonsWindowOrElseOnTheScreen) {
  HackOptions daemon = Read({"--root"}, "0x600003");
  EXPECT_TRUE(daemon.recognised);
  EXPECT_EQ(daemon.window, PortHackWindow::Host);
  EXPECT_EQ(daemon.host, 0x600003ul);
  EXPECT_FALSE(daemon.onRootWindow);

  HackOptions screen = Read({"-root"});
  EXPECT_EQ(screen.window, PortHackWindow::Host);
  EXPECT_TRUE(screen.onRootWindow);

  // A daemon's window that is nonsense is no window, never the screen.
  HackOptions nonsense = Read({"--root"}, "window");
  EXPECT_EQ(nonsense.host, 0ul);
  EXPECT_FALSE(nonsense.onRootWindow);
}

TEST(HackOptions, AGivenWindowIdWinsAndAMissingOneNamesNoWindow) {
  HackOptions given = Read({"--root", "-window-id", "77", "--window"}, "0x600003");
  EXPECT_EQ(given.window, PortHackWindow::Host);
  EXPECT_EQ(given.host, 77ul);
  EXPECT_FALSE(given.onRootWindow);
  HackOptions missing = Read({"--window-id"});
  EXPECT_EQ(missing.window, PortHackWindow::Host);
  EXPECT_EQ(missing.host, 0ul);
  EXPECT_EQ(Read({"--window", "-fps"}).window, PortHackWindow::Own);
}

TEST(HackOptions, WindowsStyleSwitchesAndUnknownWordsAreLeftToTheProgram) {
  for (std::vector<std::string> line : {std::vector<std::string>{"/s"}, {"-s"}, {"/p", "1234"}, {"/c"}, {"-fps"}, {}}) {
    HackOptions options = Read(line, "0x600003");
    EXPECT_FALSE(options.recognised);
    EXPECT_EQ(options.window, PortHackWindow::Ordinary);
  }
  EXPECT_TRUE(Read({"--help"}).help);
  EXPECT_TRUE(Read({"-version"}).version);
}
