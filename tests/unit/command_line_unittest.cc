#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProgramNameTest, PlainAndQuotedNamesAreSkippedWhole) {
  EXPECT_STREQ(SkipProgramName("quarlo.scr /s"), "/s");
  EXPECT_STREQ(SkipProgramName("\"C:\\Program Files\\quarlo.scr\"  \t/p 12"), "/p 12");
  EXPECT_STREQ(SkipProgramName("\"C:\\a b\\q.scr\"/c"), "/c");
  EXPECT_STREQ(SkipProgramName("\"unterminated /s"), "");
  EXPECT_STREQ(SkipProgramName("q\xE9.scr /s"), "/s");  // bytes from 0x80 up belong to the name
  EXPECT_STREQ(SkipProgramName(""), "");
  EXPECT_STREQ(SkipProgramName("   /s"), "/s");  // no name at all: only the blanks go
}

TEST(SwitchTest, FirstLetterPicksTheMode) {
  const char* arg = nullptr;
  for (const char* s : {"/S", "-s", "s", "/ s", "/scr", "--  /S"})
    EXPECT_EQ(ParseSaverSwitch(s, &arg), SWITCH_SAVER) << s;
  EXPECT_EQ(ParseSaverSwitch("", &arg), SWITCH_CONFIG_NO_OWNER);
  EXPECT_EQ(ParseSaverSwitch("   ", &arg), SWITCH_CONFIG_NO_OWNER);
  EXPECT_EQ(ParseSaverSwitch("/c:1234", &arg), SWITCH_CONFIG);
  EXPECT_EQ(arg, nullptr);  // only P, L and A take an argument
  for (const char* s : {"/x", "/\ts", "\t/s", "/\xD3", "1"})
    EXPECT_EQ(ParseSaverSwitch(s, &arg), SWITCH_INVALID) << s;
}

TEST(SwitchTest, PreviewAndPasswordTakeTheNumberAfterBlanks) {
  const char* arg = nullptr;
  EXPECT_EQ(ParseSaverSwitch("/p 1234", &arg), SWITCH_PREVIEW);
  EXPECT_STREQ(arg, "1234");
  EXPECT_EQ(ParseSaverSwitch("/l    77", &arg), SWITCH_PREVIEW);
  EXPECT_EQ(ParseWindowHandle(arg), 77u);
  EXPECT_EQ(ParseSaverSwitch("/p:1234", &arg), SWITCH_PREVIEW);
  EXPECT_EQ(ParseWindowHandle(arg), 0u);  // the colon stops it: no window
  EXPECT_EQ(ParseSaverSwitch("-a\t5", &arg), SWITCH_PASSWORD);
  EXPECT_STREQ(arg, "\t5");  // only 0x20 counts as a blank here
  EXPECT_EQ(ParseSaverSwitch("A", &arg), SWITCH_PASSWORD);
  EXPECT_STREQ(arg, "");
}

TEST(WindowHandleTest, DigitsOnlyWrappingIn32Bits) {
  EXPECT_EQ(ParseWindowHandle("0"), 0u);
  EXPECT_EQ(ParseWindowHandle("65552 junk"), 65552u);
  EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
  EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
  EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
  EXPECT_EQ(ParseWindowHandle(" 12"), 0u);
  EXPECT_EQ(ParseWindowHandle("-12"), 0u);
  EXPECT_EQ(ParseWindowHandle("0x1F"), 0u);
  EXPECT_EQ(ParseWindowHandle(""), 0u);
}

}  // namespace
