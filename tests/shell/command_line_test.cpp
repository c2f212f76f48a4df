#include <gtest/gtest.h>

#include "shell/shell.h"
#include "support/fake_win32.h"

namespace {
struct Parsed {
  RunMode mode;
  intptr_t parent;
};

Parsed Parse(const std::string& line) {
  ResetFakeSystem();
  fakeSystem.foreground = (HWND)(intptr_t)777;
  fakeSystem.commandLine = line;
  shell.mode = None;
  shell.parentWindow = (HWND)(intptr_t)99;
  ParseCommandLine();
  return {shell.mode, (intptr_t)shell.parentWindow};
}

void ExpectParsed(const std::string& line, RunMode mode, intptr_t parent) {
  Parsed p = Parse(line);
  EXPECT_EQ(p.mode, mode) << "line: [" << line << "]";
  EXPECT_EQ(p.parent, parent) << "line: [" << line << "]";
}
}  // namespace

TEST(CommandLine, TheSwitchTableChoosesModeAndParent) {
  ExpectParsed("glimmerz.scr", Configure, 0);
  ExpectParsed("glimmerz.scr    ", Configure, 0);
  for (const char* s : {"/s", "/S", "-s", "s", "/save"}) ExpectParsed(std::string("glimmerz.scr ") + s, Saver, 0);
  for (const char* p : {"/p 1234", "/P:1234", "-l 1234", "/l::  1234"})
    ExpectParsed(std::string("glimmerz.scr ") + p, Preview, 1234);
  ExpectParsed("glimmerz.scr /p", Preview, 0);
  ExpectParsed("glimmerz.scr /c:5678", Configure, 5678);
  ExpectParsed("glimmerz.scr /c 5678", Configure, 5678);
  ExpectParsed("glimmerz.scr /c", Configure, 777);
  ExpectParsed("glimmerz.scr /c 0", Configure, 0);
  ExpectParsed("glimmerz.scr /a 42", ChangePassword, 42);
  for (const char* x : {"/x", "/", "-"}) ExpectParsed(std::string("glimmerz.scr ") + x, None, 0);
}

TEST(CommandLine, TheProgramNameIsSkippedWholeWhenQuoted) {
  ExpectParsed("", Configure, 0);
  ExpectParsed("\"C:\\My Savers\\glimmerz.scr\"", Configure, 0);
  ExpectParsed("\"C:\\My Savers\\glimmerz.scr\" /s", Saver, 0);
  ExpectParsed("\"C:\\My Savers\\glimmerz.scr\"/s", Saver, 0);
  // Unquoted, the name ends at its first space: "Files\glimmerz.scr" is the switch word.
  ExpectParsed("C:\\My Files\\glimmerz.scr /s", None, 0);
}

TEST(CommandLine, TabsAreNeverSkipped) {
  ExpectParsed("\"glimmerz.scr\"\t/s", None, 0);
  ExpectParsed("glimmerz.scr\t/s", Configure, 0);
}

TEST(CommandLine, OnlyTheFirstLetterOfTheSwitchDecides) {
  ExpectParsed("glimmerz.scr /preview 1234", Preview, 0);
  ExpectParsed("glimmerz.scr /s /c 5", Saver, 0);
  ExpectParsed("glimmerz.scr /p:0012", Preview, 12);
  ExpectParsed("glimmerz.scr /p -5", Preview, -5);
}

TEST(WindowNumbers, ConvertLikeAtoi) {
  EXPECT_EQ(ParseWindowNumber("  +17abc"), 17);
  EXPECT_EQ(ParseWindowNumber("\t\n-8"), -8);
  EXPECT_EQ(ParseWindowNumber("abc"), 0);
  EXPECT_EQ(ParseWindowNumber(""), 0);
  EXPECT_EQ(ParseWindowNumber("2147483647"), 2147483647);
  EXPECT_EQ(ParseWindowNumber("-2147483648"), INT32_MIN);
}

TEST(WindowNumbers, NumbersTooLargeFor32BitsWrapInsteadOfOverflowing) {
  EXPECT_EQ(ParseWindowNumber("4294967295"), -1);
  EXPECT_EQ(ParseWindowNumber("4294967296"), 0);
  EXPECT_EQ(ParseWindowNumber("4294967297"), 1);
  EXPECT_EQ(ParseWindowNumber("2147483648"), INT32_MIN);
  // The wrap is plain arithmetic modulo 2^32: 10^20 mod 2^32.
  EXPECT_EQ((uint32_t)ParseWindowNumber("100000000000000000000"), 1661992960u);
}
