#include <gtest/gtest.h>

#include <cstring>

#include "settings/settings.h"
#include "support/fake_win32.h"

namespace {
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override { ResetFakeSystem(); }
  void Store(const char* name, DWORD type, std::vector<BYTE> data) {
    fakeSystem.registry[name] = {type, data};
    fakeSystem.registryKeyExists = true;
  }
  FakeRegistryValue& Stored(const char* name) { return fakeSystem.registry.at(name); }
};

const std::vector<BYTE> HalGuidBytes = {0xE0, 0x3D, 0xE6, 0x84, 0xAA, 0x46, 0xCF, 0x11,
                                        0x81, 0x6F, 0x00, 0x00, 0xC0, 0x20, 0x15, 0x6E};
}  // namespace

TEST_F(SettingsStore, TheFirstReadCreatesTheKeyAndStoresTheDefault) {
  DWORD width = 0;
  EXPECT_EQ(ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth), 1);
  EXPECT_EQ(width, 640u);
  EXPECT_TRUE(fakeSystem.registryKeyExists);
  EXPECT_EQ(Stored("displaywidth").type, (DWORD)REG_DWORD);
  EXPECT_EQ(Stored("displaywidth").data, (std::vector<BYTE>{0x80, 0x02, 0, 0}));
  EXPECT_EQ(FindCall("RegCreateKeyExA(Software\\Vantorel\\Glimmerz,0,131099)").index, 0);

  // The second read finds the stored value and writes nothing.
  ClearRecordedCalls();
  width = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 640u);
  EXPECT_FALSE(CallMade("RegSetValueExA"));
  EXPECT_EQ(RecordedCalls().back(), "RegCloseKey");
}

TEST_F(SettingsStore, TheDeviceGuidDefaultIsStoredInMemoryOrder) {
  GUID device = {};
  ReadGuidSetting(DeviceGuidSetting, &device, &DefaultDeviceGuid);
  EXPECT_EQ(Stored("deviceguid").type, (DWORD)REG_BINARY);
  EXPECT_EQ(Stored("deviceguid").data, HalGuidBytes);
  EXPECT_EQ(std::memcmp(&device, HalGuidBytes.data(), 16), 0);
}

TEST_F(SettingsStore, AStoredValueIsReadAndLeftAlone) {
  Store("displaywidth", REG_DWORD, {0x00, 0x04, 0, 0});
  DWORD width = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 1024u);
  EXPECT_FALSE(CallMade("RegSetValueExA"));
}

TEST_F(SettingsStore, AValueOfTheRightSizeButAnotherTypeIsAccepted) {
  Store("music", REG_BINARY, {0, 0, 0, 0});
  DWORD music = 7;
  ReadDwordSetting(MusicSetting, &music, &DefaultMusic);
  EXPECT_EQ(music, 0u);
  EXPECT_EQ(Stored("music").type, (DWORD)REG_BINARY);
}

TEST_F(SettingsStore, AValueTooLongIsReplacedByTheDefaultForGood) {
  Store("displaybpp", REG_BINARY, {32, 0, 0, 0, 9, 9, 9, 9});
  DWORD bpp = 0;
  ReadDwordSetting(DisplayBppSetting, &bpp, &DefaultDisplayBpp);
  EXPECT_EQ(bpp, 16u);
  EXPECT_EQ(Stored("displaybpp").type, (DWORD)REG_DWORD);
  EXPECT_EQ(Stored("displaybpp").data, (std::vector<BYTE>{16, 0, 0, 0}));

  Store("deviceguid", REG_BINARY, std::vector<BYTE>(20, 0x11));
  GUID device;
  ReadGuidSetting(DeviceGuidSetting, &device, &DefaultDeviceGuid);
  EXPECT_EQ(std::memcmp(&device, HalGuidBytes.data(), 16), 0);
  EXPECT_EQ(Stored("deviceguid").data, HalGuidBytes);
}

TEST_F(SettingsStore, AShortValueFillsEveryByteOfTheCallersSlot) {
  Store("displaywidth", REG_BINARY, {0x20, 0x03});
  DWORD width = 0xAAAAAAAA;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 800u);

  Store("ddguid", REG_BINARY, {1, 2, 3});
  BYTE guid[16];
  std::memset(guid, 0xAA, sizeof guid);
  ReadGuidSetting(DriverGuidSetting, guid, &DefaultDriverGuid);
  const BYTE expected[16] = {1, 2, 3};
  EXPECT_EQ(std::memcmp(guid, expected, 16), 0);
  // What the user stored is kept, not replaced.
  EXPECT_EQ(Stored("ddguid").data.size(), 3u);
}

TEST_F(SettingsStore, AKeyThatCannotBeOpenedStillHandsBackTheDefaults) {
  fakeSystem.registryOpenFails = true;
  DWORD width = 0, height = 0, bpp = 0;
  GUID guid = {1, 2, 3, {4}};
  EXPECT_EQ(ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth), 0);
  EXPECT_EQ(ReadDwordSetting(DisplayHeightSetting, &height, &DefaultDisplayHeight), 0);
  EXPECT_EQ(ReadDwordSetting(DisplayBppSetting, &bpp, &DefaultDisplayBpp), 0);
  EXPECT_EQ(ReadGuidSetting(DeviceGuidSetting, &guid, &DefaultDeviceGuid), 0);
  EXPECT_EQ((std::vector<DWORD>{width, height, bpp}), (std::vector<DWORD>{640, 480, 16}));
  EXPECT_EQ(std::memcmp(&guid, HalGuidBytes.data(), 16), 0);
  DWORD music = 0;
  EXPECT_EQ(WriteDwordSetting(MusicSetting, &music), 0);
  EXPECT_TRUE(fakeSystem.registry.empty());
}

TEST_F(SettingsStore, WritesStoreTheirTypeAndSize) {
  DWORD music = 0;
  EXPECT_EQ(WriteDwordSetting(MusicSetting, &music), 1);
  EXPECT_EQ(WriteGuidSetting(DriverGuidSetting, &DefaultDeviceGuid), 1);
  EXPECT_EQ(CallsStartingWith("RegSetValueExA"),
            (std::vector<std::string>{"RegSetValueExA(music,4,4)", "RegSetValueExA(ddguid,3,16)"}));
  EXPECT_EQ(Stored("ddguid").data, HalGuidBytes);
}
