// The registry file against what a hostile or careless world does to it: kills
// at the worst moment, planted links, leftovers, huge files, the registry
// editor's own exports.
#include <signal.h>
#include <sys/wait.h>

#include <random>

#include "port_win32/registry_fixture.h"

namespace {
std::vector<BYTE> Dword(DWORD v) { return {(BYTE)v, (BYTE)(v >> 8), (BYTE)(v >> 16), (BYTE)(v >> 24)}; }
}  // namespace

TEST_F(RegistryFileTest, AKillWhileADamagedFileIsSetAsideNeverLeavesNoFile) {
  const std::string damaged = "Windows Registry Editor Version 5.00\r\n\r\n[" + std::string(KeyPath) +
                              "]\r\n\"displaywidth\"=dword:00000320\r\n\"broken";
  std::mt19937 random(11);
  for (int round = 0; round < 25; ++round) {
    WriteFile(file, damaged);
    pid_t child = fork();
    if (child == 0) {
      // Each pass damages the file again (atomically) and lets a writer set it aside.
      for (DWORD i = 0;; ++i) {
        std::ofstream(file + ".next", std::ios::binary) << damaged;
        rename((file + ".next").c_str(), file.c_str());
        SetDword("counter", i);
      }
    }
    usleep(1000 + random() % 15000);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::string text = ReadFile(file);
    ASSERT_FALSE(text.empty()) << "round " << round;
    RegistryDocument d;
    ParseRegistryText(text, &d);
    RegistryKey* key = FindRegistryKey(&d, KeyPath);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(FindRegistryValue(key, "displaywidth")->data, Dword(800));
  }
}

TEST_F(RegistryFileTest, SetAsideFilesNeverOverwriteEachOther) {
  WriteFile(file, "first damage");
  SetDword("a", 1);
  WriteFile(file, "second damage");
  SetDword("b", 2);
  std::vector<std::string> contents;
  for (auto& name : FilesInFolder())
    if (name.find(".unreadable-") != std::string::npos) contents.push_back(ReadFile(folder + "/" + name));
  std::sort(contents.begin(), contents.end());
  EXPECT_EQ(contents, (std::vector<std::string>{"first damage", "second damage"}));
}

TEST_F(RegistryFileTest, AnEmptyFileIsAnEmptyRegistryNotADamagedOne) {
  WriteFile(file, "");
  DWORD width = 0;
  EXPECT_EQ(ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth), 1);
  EXPECT_EQ(width, 640u);
  EXPECT_EQ(SetAsideFile(), "");
  RegistryKey* key = FindRegistryKey(&(document = Document()), KeyPath);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(FindRegistryValue(key, "displaywidth")->data, Dword(640));
}

TEST_F(RegistryFileTest, PlantedLinksAreNeverWrittenThrough) {
  std::string victim = home + "/victim";
  WriteFile(victim, "precious");
  mkdir(folder.c_str(), 0700);
  ASSERT_EQ(symlink(victim.c_str(), (file + ".tmp." + std::to_string(getpid())).c_str()), 0);
  ASSERT_EQ(symlink(victim.c_str(), (folder + "/settings.reg.lock").c_str()), 0);
  SetDword("music", 0);
  SetDword("sound", 0);
  EXPECT_EQ(ReadFile(victim), "precious");
  RegistryKey* key = FindRegistryKey(&(document = Document()), KeyPath);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(FindRegistryValue(key, "sound")->data, Dword(0));
}

TEST_F(RegistryFileTest, TheNextWriterClearsTemporariesOfWritersThatHaveGone) {
  pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  pid_t alive = fork();
  if (alive == 0) {
    pause();
    _exit(0);
  }
  std::string goneTemporary = file + ".tmp." + std::to_string(gone);
  std::string aliveTemporary = file + ".tmp." + std::to_string(alive);
  WriteFile(goneTemporary, "half a fi");
  WriteFile(aliveTemporary, "being writ");
  SetDword("music", 1);
  EXPECT_FALSE(std::ifstream(goneTemporary).good());
  EXPECT_TRUE(std::ifstream(aliveTemporary).good());
  kill(alive, SIGKILL);
  waitpid(alive, nullptr, 0);
}

TEST_F(RegistryFileTest, AHundredThousandUnrelatedValuesAreAllKeptAndOursFound) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n";
  for (int i = 0; i < 100000; ++i) text += "\"value" + std::to_string(i) + "\"=dword:00000007\r\n";
  text += "\r\n[" + std::string(KeyPath) + "]\r\n\"DisplayWidth\"=dword:00000400\r\n";
  WriteFile(file, text);
  DWORD width = 0, height = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  ReadDwordSetting(DisplayHeightSetting, &height, &DefaultDisplayHeight);
  EXPECT_EQ(width, 1024u);
  EXPECT_EQ(height, 480u);
  document = Document();
  RegistryKey* other = FindRegistryKey(&document, "hkey_current_user\\software\\other");
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->values.size(), 100000u);
  EXPECT_NE(FindRegistryValue(other, "VALUE99999"), nullptr);
}

TEST_F(RegistryFileTest, WhatTheRegistryEditorExportsIsRead) {
  // UTF-16LE after a byte-order mark, as the registry editor exports.
  std::u16string wide = u"Windows Registry Editor Version 5.00\r\n\r\n[" +
                        std::u16string(KeyPath, KeyPath + sizeof KeyPath - 1) +
                        u"]\r\n\"displaywidth\"=dword:00000320\r\n\"title\"=\"L\u00e4mpchen \U0001F4A1\"\r\n"
                        u"\"note\"=\"caf\u00e9\"\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : wide) bytes += {(char)(c & 0xFF), (char)(c >> 8)};
  WriteFile(file, bytes);
  DWORD width = 0;
  ReadDwordSetting(DisplayWidthSetting, &width, &DefaultDisplayWidth);
  EXPECT_EQ(width, 800u);
  SetDword("music", 1);
  EXPECT_EQ(SetAsideFile(), "");
  RegistryKey* key = FindRegistryKey(&(document = Document()), KeyPath);
  ASSERT_NE(key, nullptr);
  // Written so that the registry editor reads the same characters back.
  EXPECT_NE(ReadFile(file).find("\"note\"=hex(1):63,00,61,00,66,00,e9,00,00,00\r\n"), std::string::npos);
  std::vector<BYTE> title;
  for (char16_t c : std::u16string(u"L\u00e4mpchen \U0001F4A1") + u'\0')
    title.insert(title.end(), {(BYTE)c, (BYTE)(c >> 8)});
  EXPECT_EQ(FindRegistryValue(key, "title")->data, title);
  char ansi[16];
  DWORD size = sizeof ansi;
  RegQueryValueExA(Open(), "title", nullptr, nullptr, (BYTE*)ansi, &size);
  EXPECT_STREQ(ansi, "L\xE4mpchen ?");  // as an A call reads it
}

TEST_F(RegistryFileTest, TheDefaultValueAndAValueNamedAtStayApart) {
  WriteFile(file, "Windows Registry Editor Version 5.00\r\n\r\n[" + std::string(KeyPath) +
                      "]\r\n@=\"the default\"\r\n\"@\"=\"named at\"\r\n");
  SetDword("music", 1);
  std::string text = ReadFile(file);
  EXPECT_NE(text.find("\r\n@=\"the default\"\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n\"@\"=\"named at\"\r\n"), std::string::npos) << text;
  HKEY key = Open();
  char out[32];
  DWORD size = sizeof out;
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, (BYTE*)out, &size), ERROR_SUCCESS);
  EXPECT_STREQ(out, "the default");
  size = sizeof out;
  EXPECT_EQ(RegQueryValueExA(key, "@", nullptr, nullptr, (BYTE*)out, &size), ERROR_SUCCESS);
  EXPECT_STREQ(out, "named at");
  RegCloseKey(key);
}

TEST_F(RegistryFileTest, DeletionFormsAreAppliedInOrder) {
  WriteFile(file,
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Old]\r\n\"x\"=dword:00000001\r\n"
            "[HKEY_CURRENT_USER\\Software\\Old\\Below]\r\n\"y\"=dword:00000001\r\n"
            "[HKEY_CURRENT_USER\\Software\\Older]\r\n\"z\"=dword:00000001\r\n"
            "[-HKEY_CURRENT_USER\\Software\\OLD]\r\n"
            "[" +
                std::string(KeyPath) +
                "]\r\n\"music\"=dword:00000000\r\n\"sound\"=dword:00000000\r\n"
                "\"MUSIC\"=-\r\n");
  DWORD music = 7, sound = 7;
  ReadDwordSetting(MusicSetting, &music, &DefaultMusic);
  ReadDwordSetting(SoundSetting, &sound, &DefaultSound);
  EXPECT_EQ(music, 1u);  // deleted, so the default
  EXPECT_EQ(sound, 0u);
  EXPECT_EQ(SetAsideFile(), "");
  document = Document();
  EXPECT_EQ(FindRegistryKey(&document, "HKEY_CURRENT_USER\\Software\\Old"), nullptr);
  EXPECT_EQ(FindRegistryKey(&document, "HKEY_CURRENT_USER\\Software\\Old\\Below"), nullptr);
  EXPECT_NE(FindRegistryKey(&document, "HKEY_CURRENT_USER\\Software\\Older"), nullptr);
  EXPECT_EQ(ReadFile(file).find("=-"), std::string::npos);
}

// What the parser does not understand makes the file one to set aside. Text
// in hex is 8-bit under the older header and UTF-16LE under 5.00, which is
// what the file is written as, so the registry editor reads it back as it was.
TEST(RegistryText, EachFormIsReadAsTheRegistryEditorReadsIt) {
  const std::string Five = "Windows Registry Editor Version 5.00";
  struct Case {
    std::string header, data;
    bool understood;
    std::vector<BYTE> kept;
    std::string written;
    std::string before = "";  // lines between the key and the value
  } cases[] = {
      {"REGEDIT4", "hex:0a,ff", true, {0x0A, 0xFF}, "hex:0a,ff"},
      {Five, "hex:abc", false, {}, ""},
      {Five, "dword:123456789", false, {}, ""},
      {"REGEDIT4", "hex(1):41,e9,00", true, {0x41, 0xE9, 0}, "hex(1):41,00,e9,00,00,00"},
      {Five, "hex(1):41,00,e9,00,00,00", true, {0x41, 0xE9, 0}, "hex(1):41,00,e9,00,00,00"},
      {Five, "hex(2):41,04,00,00", true, {0x41, 0x04, 0, 0}, "hex(2):41,04,00,00"},
      {Five, "hex(1):00", true, {0}, "hex(1):00"},  // UTF-16LE cut short, not an empty 8-bit text
      // Only hex data goes on over a line end.
      {Five, "dword:00000000", true, {0, 0, 0, 0}, "dword:00000000", "; no tune, please \\\r\n"},
  };
  for (const Case& c : cases) {
    RegistryDocument d;
    std::string text = c.header + "\r\n\r\n[" + KeyPath + "]\r\n" + c.before + "\"v\"=" + c.data + "\r\n";
    EXPECT_EQ(ParseRegistryText(text, &d), c.understood) << c.data;
    RegistryValue* value = FindRegistryValue(FindRegistryKey(&d, KeyPath), "v");
    EXPECT_EQ(value ? value->data : std::vector<BYTE>{}, c.kept) << c.data;
    if (!c.written.empty()) {
      EXPECT_NE(FormatRegistryText(d).find("\"v\"=" + c.written + "\r\n"), std::string::npos) << c.data;
    }
  }
}
