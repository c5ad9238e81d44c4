#include "shell/command_line.h"
#include "shell/saver_arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {

TEST(SaverArgumentsTest, SwitchLettersAndXScreenSaverConventions) {
  const struct {
    std::vector<const char*> args;
    const char* hosted;  // XSCREENSAVER_WINDOW
    bool ok;
    SaverMode mode;
    uint32_t window;
  } cases[] = {
      {{}, nullptr, true, MODE_CONFIG, 0},
      {{"-c"}, "0x42", true, MODE_CONFIG, 0},  // an explicit mode wins over the variable
      {{"/S"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"-s"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"-p", "1234"}, nullptr, true, MODE_PREVIEW, 1234},
      {{"/l", "0x4a"}, nullptr, true, MODE_PREVIEW, 0x4a},
      {{"-a"}, nullptr, true, MODE_PASSWORD, 0},
      {{"-a", "77"}, nullptr, true, MODE_PASSWORD, 0},
      {{"-root"}, nullptr, true, MODE_ROOT, 0},
      {{"--root"}, "4660", true, MODE_ROOT, 4660},  // XScreenSaver's own window
      {{}, "0x1234", true, MODE_WINDOW_ID, 0x1234},
      {{}, "junk", true, MODE_CONFIG, 0},
      {{"-window"}, "0x1234", true, MODE_WINDOW, 0},
      {{"--window-id", "0X1fFfFfFf"}, nullptr, true, MODE_WINDOW_ID, 0x1fffffff},
      {{"-display", ":3", "-s"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"--help"}, nullptr, true, MODE_HELP, 0},
      {{"--root", "-h"}, nullptr, true, MODE_HELP, 0},
      {{"-window-id", "0x20000000"}, nullptr, false, MODE_CONFIG, 0},  // past the 29 bits of an X id
      {{"-window-id", "12a"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id", "0x"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id", "0"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id"}, nullptr, false, MODE_CONFIG, 0},
      {{"-p"}, nullptr, false, MODE_CONFIG, 0},
      {{"-scr"}, nullptr, false, MODE_CONFIG, 0},  // the Windows saver's sloppy letters stay out
      {{"-x"}, nullptr, false, MODE_CONFIG, 0},
      {{"-"}, nullptr, false, MODE_CONFIG, 0},
      {{"-s", "-root"}, nullptr, false, MODE_CONFIG, 0},
      {{"-display"}, nullptr, false, MODE_CONFIG, 0},
      {{"root"}, nullptr, false, MODE_CONFIG, 0},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"quarlo"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::string text;
    for (const char* a : c.args) text += std::string(a) + " ";
    SaverArguments got;
    char error[128] = "";
    EXPECT_EQ(ReadSaverArguments(int(argv.size()), argv.data(), c.hosted, &got, error, sizeof error),
              c.ok)
        << text;
    if (!c.ok) {
      EXPECT_NE(error[0], '\0') << text;
      continue;
    }
    EXPECT_EQ(got.mode, c.mode) << text;
    EXPECT_EQ(got.window, c.window) << text;
  }
}

}  // namespace
