#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/saver_arguments.h"

namespace {

TEST(CommandLineTest, TheWindowsSaversCommandLine) {
  const std::pair<const char*, const char*> names[] = {
      {"quarlo.scr /s", "/s"}, {"\"C:\\Program Files\\quarlo.scr\"  \t/p 12", "/p 12"},
      {"\"C:\\a b\\q.scr\"/c", "/c"}, {"\"unterminated /s", ""}, {"q\xE9.scr /s", "/s"},
      {"", ""}, {"   /s", "/s"}};  // bytes from 0x80 up belong to the name; no name: blanks go
  for (const auto& [line, tail] : names) EXPECT_STREQ(SkipProgramName(line), tail) << line;
  const struct {
    const char* tail;
    SaverSwitch mode;
    const char* argument;  // where P, L and A leave the argument; null: left alone
  } switches[] = {{"/S", SWITCH_SAVER, nullptr}, {"-s", SWITCH_SAVER, nullptr}, {"s", SWITCH_SAVER, nullptr},
                  {"/ s", SWITCH_SAVER, nullptr}, {"/scr", SWITCH_SAVER, nullptr}, {"--  /S", SWITCH_SAVER, nullptr},
                  {"", SWITCH_CONFIG_NO_OWNER, nullptr}, {"   ", SWITCH_CONFIG_NO_OWNER, nullptr},
                  {"/c:1234", SWITCH_CONFIG, nullptr}, {"/x", SWITCH_INVALID, nullptr},
                  {"/\ts", SWITCH_INVALID, nullptr}, {"\t/s", SWITCH_INVALID, nullptr},
                  {"/\xD3", SWITCH_INVALID, nullptr}, {"1", SWITCH_INVALID, nullptr},
                  {"/p 1234", SWITCH_PREVIEW, "1234"}, {"/l    77", SWITCH_PREVIEW, "77"},
                  {"/p:1234", SWITCH_PREVIEW, ":1234"}, {"-a\t5", SWITCH_PASSWORD, "\t5"},
                  {"A", SWITCH_PASSWORD, ""}};  // only 0x20 is a blank after the letter
  for (const auto& c : switches) {
    const char* argument = nullptr;
    EXPECT_EQ(ParseSaverSwitch(c.tail, &argument), c.mode) << c.tail;
    EXPECT_EQ(std::string(argument ? argument : "(none)"), c.argument ? c.argument : "(none)") << c.tail;
  }
  const std::pair<const char*, uint32_t> handles[] = {
      {"0", 0}, {"65552 junk", 65552}, {"4294967295", 4294967295u}, {"4294967296", 0},
      {"4294967297", 1}, {" 12", 0}, {"-12", 0}, {"0x1F", 0}, {"", 0}, {":1234", 0}};
  for (const auto& [text, handle] : handles) EXPECT_EQ(ParseWindowHandle(text), handle) << text;
}

TEST(CommandLineTest, TheLinuxSaversSwitchesAndXScreenSaversConventions) {
  const struct {
    std::vector<const char*> args;
    const char* hosted;  // XSCREENSAVER_WINDOW
    bool ok;
    SaverMode mode;
    uint32_t window;
    SaverDisplayChoice choice = DISPLAY_ANY;
  } cases[] = {
      {{}, nullptr, true, MODE_CONFIG, 0},
      {{"-c"}, "0x42", true, MODE_CONFIG, 0},  // an explicit mode wins over the variable
      {{"/S"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"-s"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"-p", "1234"}, nullptr, true, MODE_PREVIEW, 1234},
      {{"/l", "0x4a"}, nullptr, true, MODE_PREVIEW, 0x4a},
      {{"-a", "77"}, nullptr, true, MODE_PASSWORD, 0},
      {{"-root"}, nullptr, true, MODE_ROOT, 0},
      {{"--root"}, "4660", true, MODE_ROOT, 4660},  // XScreenSaver's own window
      {{}, "0x1234", true, MODE_WINDOW_ID, 0x1234},
      {{}, "junk", true, MODE_CONFIG, 0},
      {{"-window"}, "0x1234", true, MODE_WINDOW, 0},
      {{"--window-id", "0X1fFfFfFf"}, nullptr, true, MODE_WINDOW_ID, 0x1fffffff},
      {{"-display", ":3", "-s"}, nullptr, true, MODE_FULL_SCREEN, 0},
      {{"--root", "-h"}, nullptr, true, MODE_HELP, 0},
      {{"-window-id", "0x20000000"}, nullptr, false, MODE_CONFIG, 0},  // past an X id's 29 bits
      {{"-window-id", "12a"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id", "0x"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id", "0"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window-id"}, nullptr, false, MODE_CONFIG, 0},
      {{"-p"}, nullptr, false, MODE_CONFIG, 0},
      {{"-scr"}, nullptr, false, MODE_CONFIG, 0},  // the Windows saver's sloppy letters stay out
      {{"-"}, nullptr, false, MODE_CONFIG, 0},
      {{"-s", "-root"}, nullptr, false, MODE_CONFIG, 0},
      {{"-display"}, nullptr, false, MODE_CONFIG, 0},
      {{"root"}, nullptr, false, MODE_CONFIG, 0},
      {{"-wayland", "-s"}, nullptr, true, MODE_FULL_SCREEN, 0, DISPLAY_WAYLAND},
      {{"--window", "-x11"}, nullptr, true, MODE_WINDOW, 0, DISPLAY_X11},
      {{"-x11", "-wayland", "-s"}, nullptr, false, MODE_CONFIG, 0},
      {{"-wayland", "-root"}, nullptr, false, MODE_CONFIG, 0},  // X windows stay on X
      {{"-wayland"}, "0x42", false, MODE_CONFIG, 0},
      {{"-wayland", "-c"}, nullptr, false, MODE_CONFIG, 0},
      // XScreenSaver's panel previews with --root --window-id; the id wins, and -root wins over -window.
      {{"--root", "--window-id", "0x605100"}, "0x42", true, MODE_WINDOW_ID, 0x605100},
      {{"-window", "-root"}, "0x42", true, MODE_ROOT, 0x42},
      {{"-window-id", "7", "-p", "8"}, nullptr, false, MODE_CONFIG, 0},
      // The options every hack takes, with one dash or two.
      {{"--root", "-install", "--noinstall", "-mono", "--pair", "-sync", "--visual", "TrueColor"},
       nullptr, true, MODE_ROOT, 0},
      {{"-window", "-geometry", "300x200-10+0"}, nullptr, true, MODE_WINDOW, 0},
      {{"-root", "-visual"}, nullptr, false, MODE_CONFIG, 0},
      {{"-root", "-visual", "purple"}, nullptr, false, MODE_CONFIG, 0},
      {{"-window", "-geometry", "300x"}, nullptr, false, MODE_CONFIG, 0},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"quarlo"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::string text;
    for (const char* a : c.args) text += std::string(a) + " ";
    SaverArguments got;
    char error[128] = "";
    EXPECT_EQ(ReadSaverArguments(int(argv.size()), argv.data(), c.hosted, &got, error, sizeof error), c.ok) << text;
    EXPECT_TRUE(c.ok ? got.mode == c.mode && got.window == c.window && got.choice == c.choice
                     : error[0] != '\0') << text;
  }
}

TEST(CommandLineTest, TheHacksVisualAndGeometry) {
  const struct {
    const char* text;
    bool ok;
    SaverVisualKind kind;
    uint32_t value;
  } visuals[] = {{"best", true, VISUAL_BEST, 0},       {"Default", true, VISUAL_DEFAULT, 0},
                 {"TRUECOLOR", true, VISUAL_CLASS, 4}, {"PseudoColor", true, VISUAL_CLASS, 3},
                 {"grey", true, VISUAL_CLASS, 1},      {"0x21", true, VISUAL_ID, 0x21},
                 {"33", true, VISUAL_ID, 33},          {"0", false, VISUAL_ID, 0},
                 {"truecolour", false, VISUAL_ID, 0},  {"", false, VISUAL_ID, 0}};
  for (const auto& v : visuals) {
    SaverVisualRequest got;
    EXPECT_EQ(ParseVisualRequest(v.text, &got), v.ok) << v.text;
    EXPECT_TRUE(!v.ok || (got.kind == v.kind && got.value == v.value)) << v.text;
  }
  const struct {
    const char* text;
    bool ok;
    SaverGeometry want;
  } geometries[] = {
      {"640x480+10+20", true, {true, true, 640, 480, 10, 20, false, false}},
      {"=300X200", true, {true, false, 300, 200, 0, 0, false, false}},
      {"-5-0", true, {false, true, 0, 0, 5, 0, true, true}},
      {"640x480", true, {true, false, 640, 480, 0, 0, false, false}},
      {"0x480", false, {}}, {"640x480+10", false, {}}, {"640x480+10+20+", false, {}},
      {"123456x10", false, {}}, {"x480", false, {}}, {"", false, {}}, {"=", false, {}}};
  for (const auto& g : geometries) {
    SaverGeometry got;
    EXPECT_EQ(ParseGeometry(g.text, &got), g.ok) << g.text;
    if (!g.ok) continue;
    const SaverGeometry& w = g.want;
    EXPECT_TRUE(got.has_size == w.has_size && got.has_place == w.has_place && got.width == w.width &&
                got.height == w.height && got.x == w.x && got.y == w.y &&
                got.x_from_right == w.x_from_right && got.y_from_bottom == w.y_from_bottom)
        << g.text;
  }
}

}  // namespace
