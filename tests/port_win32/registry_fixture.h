// A private settings folder per test, and ways to look at the file on disk.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "win32/registry/registry.h"
#include "settings/settings.h"

inline const char KeyPath[] = "HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz";

class RegistryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char templ[] = "/tmp/glimmerz-registry-XXXXXX";
    home = mkdtemp(templ);
    setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    folder = home + "/glimmerz";
    file = folder + "/settings.reg";
  }
  void TearDown() override { std::system(("rm -rf " + home).c_str()); }

  std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void WriteFile(const std::string& path, const std::string& text) {
    mkdir(folder.c_str(), 0700);
    std::ofstream(path, std::ios::binary) << text;
  }
  std::vector<std::string> FilesInFolder() {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
      while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
      closedir(d);
    }
    return names;
  }
  std::string SetAsideFile() {
    for (auto& name : FilesInFolder())
      if (name.find("unreadable") != std::string::npos) return folder + "/" + name;
    return "";
  }
  RegistryDocument Document() {
    RegistryDocument d;
    EXPECT_TRUE(ParseRegistryText(ReadFile(file), &d));
    return d;
  }
  HKEY Open() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vantorel\\Glimmerz", 0, nullptr, 0,
                              KEY_READ | KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
  }
  void SetDword(const char* name, DWORD value) {
    HKEY key = Open();
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
  }
  std::string home, folder, file;
  RegistryDocument document;
};
