// A daemon's options as main reads them, before the program sees its line.
#include <gtest/gtest.h>

#include "port_internal.h"
#include "port_win32/registry_fixture.h"

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

// The music and display mode a daemon gives hold for the run, on a 1024x768
// screen, and whatever the program reads or writes the file keeps its own.
class HeldDaemonSettings : public RegistryFileTest {};

TEST_F(HeldDaemonSettings, HoldForTheRunAndAreNeverStored) {
  const char* names[] = {MusicSetting, DisplayWidthSetting, DisplayHeightSetting, DisplayBppSetting};
  const DWORD stored[] = {0, 640, 480, 16};
  for (int i = 0; i < 4; ++i) WriteDwordSetting(names[i], &stored[i]);
  const std::string text = ReadFile(file);
  struct Case {
    std::vector<std::string> line;
    std::vector<DWORD> want;
  };
  std::vector<Case> cases = {{{"--root", "--music", "--mode", "800x600x32"}, {1, 800, 600, 32}},
                             {{"--music", "-no-music", "-mode", "1024x768x16"}, {0, 1024, 768, 16}},
                             {{"--music", "--mode"}, {1, 640, 480, 16}},
                             {{"--mode=800x600x32"}, {0, 800, 600, 32}}};
  // Modes the dialog does not offer on this screen, and what are no modes at all.
  for (const char* bad : {"1280x1024x32", "800x600x24", "0x0x7", "800x600", "800x600x32x", "+800x600x32", "8\nrm"})
    cases.push_back({{"--mode", bad}, {0, 640, 480, 16}});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.back());
    DaemonOptions options = Read(c.line);
    EXPECT_TRUE(options.recognised);  // any of them runs the show
    std::string complaint = HoldDaemonSettings(options);
    bool modeHeld = c.want[1] != stored[1];
    EXPECT_EQ(complaint.empty(), modeHeld) << complaint;
    if (!modeHeld) {
      EXPECT_EQ(complaint.find('\n'), complaint.size() - 1) << complaint;
    }
    for (int i = 0; i < 4; ++i) {
      DWORD got = 0, other = c.want[i] + 1;
      ReadDwordSetting(names[i], &got, &stored[i]);
      EXPECT_EQ(got, c.want[i]) << names[i];
      // What the program writes over a held value lasts for the run only.
      if (got != stored[i]) WriteDwordSetting(names[i], &other);
    }
    EXPECT_EQ(ReadFile(file), text);
  }
  PortHoldSettings({});
}

TEST_F(HeldDaemonSettings, AreNotWrittenAsDefaultsAndNeedNoFile) {
  HoldDaemonSettings(Read({"--no-music"}));
  DWORD music = 1;
  EXPECT_EQ(ReadDwordSetting(MusicSetting, &music, &DefaultMusic), 1);
  EXPECT_EQ(music, 0u);
  EXPECT_TRUE(Document().keys.at(0).values.empty());
  // No settings folder can be made: a file stands where it would be.
  std::system(("rm -rf " + folder + " && touch " + folder).c_str());
  music = 1;
  EXPECT_EQ(ReadDwordSetting(MusicSetting, &music, &DefaultMusic), 1);
  EXPECT_EQ(music, 0u);
  PortHoldSettings({});
}
