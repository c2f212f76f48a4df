#include <gtest/gtest.h>

#include "port_internal.h"

namespace {
std::string LineOf(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(&a[0]);
  return PortCommandLine((int)argv.size(), argv.data());
}
}  // namespace

TEST(PortCommandLine, TheProgramNameComesFirstQuotedOnlyWhenItHoldsSpaces) {
  EXPECT_EQ(LineOf({"build/linux/glimmerz", "/s"}), "build/linux/glimmerz /s");
  EXPECT_EQ(LineOf({"/opt/my savers/glimmerz", "/p", "1234"}), "\"/opt/my savers/glimmerz\" /p 1234");
  EXPECT_EQ(LineOf({"glimmerz"}), "glimmerz");
  EXPECT_EQ(LineOf({"glimmerz", "two words", ""}), "glimmerz \"two words\" \"\"");
  PortSetCommandLine(LineOf({"glimmerz", "/c", "5"}).c_str());
  EXPECT_STREQ(GetCommandLineA(), "glimmerz /c 5");
}

// A 64-bit structure is larger than the 32-bit SDK's figure; a caller that
// passes the old literal gets a failure, not a misread structure.
TEST(PortStructureSizes, OnlyTheStructuresOwnSizeIsTaken) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version + 4;
  EXPECT_FALSE(GetVersionExA(&version));
  version.dwOSVersionInfoSize = sizeof version;
  EXPECT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(version.dwPlatformId, (DWORD)VER_PLATFORM_WIN32_NT);

  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = 48;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "sizetest";
  EXPECT_EQ(RegisterClassExA(&windowClass), 0);
  windowClass.cbSize = sizeof windowClass;
  EXPECT_NE(RegisterClassExA(&windowClass), 0);
}
