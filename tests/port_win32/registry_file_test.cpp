#include <signal.h>
#include <sys/wait.h>

#include <random>

#include "port_win32/registry_fixture.h"

TEST_F(RegistryFileTest, SettingsLandInAPrivateFileInTheRegistryEditorsFormat) {
  DWORD width = 0, bpp = 0;
  GUID device;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  ReadDwordSetting(DisplayBppSetting, &bpp, &DefaultDisplayBpp);
  ReadGuidSetting(DeviceGuidSetting, &device, &DefaultDeviceGuid);
  EXPECT_EQ(ReadFile(file),
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\r\n"
            "\"displaywidth\"=dword:00000280\r\n"
            "\"displaybpp\"=dword:00000010\r\n"
            "\"deviceguid\"=hex:e0,3d,e6,84,aa,46,cf,11,81,6f,00,00,c0,20,15,6e\r\n");
  struct stat s;
  ASSERT_EQ(stat(file.c_str(), &s), 0);
  EXPECT_EQ(s.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(folder.c_str(), &s), 0);
  EXPECT_EQ(s.st_mode & 0777, 0700u);

  // What a person edits by hand is what the next run reads.
  std::string text = ReadFile(file);
  text.replace(text.find("00000280"), 8, "00000400");
  WriteFile(file, text);
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 1024u);
}

TEST_F(RegistryFileTest, QueriesReportSizesAsTheRegistryDoes) {
  HKEY key = Open();
  const BYTE data[20] = {1, 2, 3};
  RegSetValueExA(key, "blob", 0, REG_BINARY, data, sizeof data);
  BYTE out[16];
  DWORD size = sizeof out, type = 0;
  EXPECT_EQ(RegQueryValueExA(key, "BLOB", nullptr, &type, out, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 20u);
  EXPECT_EQ(type, (DWORD)REG_BINARY);
  size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "blob", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 20u);
  EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, nullptr, out, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(RegistryFileTest, KeysAndValuesTheProgramDoesNotKnowAreKept) {
  std::string longBinary = "\"long\"=hex:";
  for (int i = 0; i < 40; ++i) longBinary += std::string(i ? "," : "") + "ab";
  WriteFile(file,
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
            "\"name\"=\"a \\\"quoted\\\" \\\\ value\"\r\n"
            "@=\"default\"\r\n\r\n"
            "[" +
                std::string(KeyPath) +
                "]\r\n"
                "\"list\"=hex(7):61,00,62,00,00,00\r\n"
                "\"music\"=dword:00000000\r\n" +
                longBinary + "\r\n");
  DWORD music = 1;
  ReadDwordSetting(MusicSetting, &music, &DefaultMusic);
  EXPECT_EQ(music, 0u);
  SetDword("displaybpp", 32);

  RegistryDocument d = Document();
  RegistryKey* other = FindRegistryKey(&d, "HKEY_CURRENT_USER\\Software\\Other");
  ASSERT_NE(other, nullptr);
  ASSERT_NE(FindRegistryValue(other, "name"), nullptr);
  std::string quoted(FindRegistryValue(other, "name")->data.begin(), FindRegistryValue(other, "name")->data.end());
  EXPECT_EQ(quoted, std::string("a \"quoted\" \\ value") + '\0');
  EXPECT_NE(FindRegistryValue(other, ""), nullptr);
  RegistryKey* ours = FindRegistryKey(&d, KeyPath);
  ASSERT_NE(ours, nullptr);
  EXPECT_EQ(FindRegistryValue(ours, "list")->type, 7u);
  // Read as 8-bit text, written back as the UTF-16LE it was.
  EXPECT_EQ(FindRegistryValue(ours, "list")->data, (std::vector<BYTE>{0x61, 0x62, 0}));
  EXPECT_NE(ReadFile(file).find("\"list\"=hex(7):61,00,62,00,00,00\r\n"), std::string::npos);
  EXPECT_EQ(FindRegistryValue(ours, "long")->data, std::vector<BYTE>(40, 0xAB));
  EXPECT_EQ(FindRegistryValue(ours, "displaybpp")->data, (std::vector<BYTE>{32, 0, 0, 0}));
  // Long hex lines are wrapped as the registry editor wraps them.
  std::istringstream lines(ReadFile(file));
  for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 80u) << line;
}

TEST_F(RegistryFileTest, AnUnreadableFileIsSetAsideAndTheShowUsesDefaults) {
  std::string garbage;
  std::mt19937 random(7);
  for (int i = 0; i < 3000; ++i) garbage += (char)(random() & 0xFF);
  WriteFile(file, garbage);
  DWORD width = 0;
  EXPECT_EQ(ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth), 1);
  EXPECT_EQ(width, 640u);
  ASSERT_NE(SetAsideFile(), "");
  EXPECT_EQ(ReadFile(SetAsideFile()), garbage);
  RegistryDocument d = Document();
  EXPECT_NE(FindRegistryValue(FindRegistryKey(&d, KeyPath), "displaywidth"), nullptr);
}

TEST_F(RegistryFileTest, ATruncatedFileKeepsWhatItStillHolds) {
  std::string whole = "Windows Registry Editor Version 5.00\n\n[" + std::string(KeyPath) +
                      "]\n\"displaywidth\"=dword:00000320\n\"deviceguid\"=hex:e0,3d,e6,84,aa,46,cf,11,81,6f,00,00,c0,"
                      "20,15,6e\n\"displayhei";
  WriteFile(file, whole);
  DWORD width = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 800u);
  GUID device;
  ReadGuidSetting(DeviceGuidSetting, &device, &DefaultDeviceGuid);
  EXPECT_EQ(device.Data1, 0x84E63DE0u);
  // Reading leaves the file as it is; the first write sets the original aside
  // and carries everything readable over.
  EXPECT_EQ(SetAsideFile(), "");
  DWORD height = 0;
  ReadDwordSetting(DisplayHeightSetting, &height, &DefaultDisplayHeight);
  EXPECT_EQ(height, 480u);
  EXPECT_EQ(ReadFile(SetAsideFile()), whole);
  RegistryDocument d = Document();
  RegistryKey* key = FindRegistryKey(&d, KeyPath);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(FindRegistryValue(key, "displaywidth")->data, (std::vector<BYTE>{0x20, 0x03, 0, 0}));
  EXPECT_EQ(FindRegistryValue(key, "deviceguid")->data.size(), 16u);
  EXPECT_EQ(FindRegistryValue(key, "displayheight")->data, (std::vector<BYTE>{0xE0, 0x01, 0, 0}));
}

TEST_F(RegistryFileTest, AKillDuringAWriteNeverLeavesABrokenFile) {
  SetDword("counter", 0);
  std::mt19937 random(3);
  for (int round = 0; round < 12; ++round) {
    pid_t child = fork();
    if (child == 0) {
      for (DWORD i = 1;; ++i) SetDword("counter", i);
    }
    usleep(2000 + random() % 20000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    RegistryDocument d = Document();
    RegistryKey* key = FindRegistryKey(&d, KeyPath);
    ASSERT_NE(key, nullptr);
    ASSERT_NE(FindRegistryValue(key, "counter"), nullptr);
    EXPECT_EQ(FindRegistryValue(key, "counter")->data.size(), 4u);
  }
  EXPECT_EQ(SetAsideFile(), "");
}

TEST_F(RegistryFileTest, TwoProcessesWritingAtOnceLoseNoValue) {
  const int perWriter = 60;
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    if (writers[w] == 0) {
      for (int i = 0; i < perWriter; ++i) SetDword((std::string(1, (char)('a' + w)) + std::to_string(i)).c_str(), i);
      _exit(0);
    }
  }
  for (pid_t w : writers) {
    int status;
    waitpid(w, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  RegistryDocument d = Document();
  RegistryKey* key = FindRegistryKey(&d, KeyPath);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->values.size(), 2u * perWriter);
}

TEST_F(RegistryFileTest, AFolderThatCannotBeMadeFailsTheOpenQuietlyWithDefaults) {
  WriteFile(home + "/plain-file", "");
  for (std::string place : {std::string("/proc/no-such-place"), home + "/plain-file/below"}) {
    setenv("XDG_CONFIG_HOME", place.c_str(), 1);
    DWORD width = 99;
    EXPECT_EQ(ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth), 0) << place;
    EXPECT_EQ(width, 640u) << place;
  }
}
