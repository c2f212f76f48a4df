#include <gtest/gtest.h>

#include <cstring>

#include "port_internal.h"

namespace {
std::string String(UINT id, int size = 256) {
  char buffer[256];
  std::memset(buffer, 'x', sizeof buffer);
  int n = LoadStringA(PortProgramInstance(), id, buffer, size);
  EXPECT_EQ(n, (int)std::strlen(buffer)) << id;
  return buffer;
}
}  // namespace

TEST(EmbeddedResources, StringsComeFromTheCompiledStringTable) {
  EXPECT_EQ(String(1), "Glimmerz");
  EXPECT_EQ(String(200), "Fastest Particles in the Universe");
  EXPECT_EQ(String(203), "Optimized for Lamp-OEM & Retail");
  EXPECT_EQ(String(214), "ZodevaVodor '99 winning ZedadAzi Buddy technology");
  EXPECT_EQ(String(255), "z");
}

TEST(EmbeddedResources, AMissingStringIsEmptyAndALongOneIsCutToTheBuffer) {
  EXPECT_EQ(String(206), "");
  EXPECT_EQ(String(4000), "");
  EXPECT_EQ(String(200, 5), "Fast");
  char one[1] = {'x'};
  EXPECT_EQ(LoadStringA(nullptr, 200, one, 1), 0);
  EXPECT_EQ(one[0], 0);
}

TEST(EmbeddedResources, ResourcesAreFoundByTypeAndNumberInTheProgramsOwnModule) {
  HRSRC version = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION);
  ASSERT_NE(version, nullptr);
  EXPECT_GT(SizeofResource(nullptr, version), 100u);
  const BYTE* bytes = (const BYTE*)LockResource(LoadResource(nullptr, version));
  ASSERT_NE(bytes, nullptr);
  // A version block names itself in UTF-16 at offset 6.
  EXPECT_EQ(bytes[6], 'V');
  EXPECT_EQ(FindResourceA(nullptr, "#1", RT_VERSION), version);
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(2), RT_VERSION), nullptr);
  EXPECT_EQ(FindResourceA((HMODULE)(uintptr_t)0x1234, MAKEINTRESOURCEA(1), RT_VERSION), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}
