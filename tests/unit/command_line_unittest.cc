#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "shell/saver_arguments.h"

namespace {

TEST(CommandLineTest, TheWindowsSaversCommandLine) {
  const std::pair<const char*, const char*> names[] = {
      {"quarlo.scr /s", "/s"}, {"\"C:\\Program Files\\quarlo.scr\"  \t/p 12", "/p 12"},
      {"\"C:\\a b\\q.scr\"/c", "/c"}, {"\"unterminated /s", ""}, {"q\xE9.scr /s", "/s"},
      {"", ""}, {"   /s", "/s"}};  // bytes from 0x80 up belong to the name; no name: blanks go
  for (const auto& [line, tail] : names) EXPECT_STREQ(SkipProgramName(line), tail) << line;
  // The mode, and where P, L and A leave the argument (null: left alone).
  const struct { const char* tail; SaverSwitch mode; const char* rest = nullptr; } switches[] = {
      {"/S", SWITCH_SAVER}, {"-s", SWITCH_SAVER}, {"s", SWITCH_SAVER}, {"/ s", SWITCH_SAVER},
      {"/scr", SWITCH_SAVER}, {"--  /S", SWITCH_SAVER}, {"", SWITCH_CONFIG_NO_OWNER},
      {"   ", SWITCH_CONFIG_NO_OWNER}, {"/c:1234", SWITCH_CONFIG}, {"/x", SWITCH_INVALID},
      {"/\ts", SWITCH_INVALID}, {"\t/s", SWITCH_INVALID}, {"/\xD3", SWITCH_INVALID},
      {"1", SWITCH_INVALID},
      {"/p 1234", SWITCH_PREVIEW, "1234"}, {"/l    77", SWITCH_PREVIEW, "77"},
      {"/p:1234", SWITCH_PREVIEW, ":1234"}, {"-a\t5", SWITCH_PASSWORD, "\t5"},
      {"A", SWITCH_PASSWORD, ""}};  // only 0x20 is a blank after the letter
  for (const auto& c : switches) {
    const char* argument = nullptr;
    EXPECT_EQ(ParseSaverSwitch(c.tail, &argument), c.mode) << c.tail;
    EXPECT_EQ(std::string(argument ? argument : "(none)"), c.rest ? c.rest : "(none)") << c.tail;
  }
  const std::pair<const char*, uint32_t> handles[] = {
      {"0", 0}, {"65552 junk", 65552}, {"4294967295", 4294967295u}, {"4294967296", 0},
      {"4294967297", 1}, {" 12", 0}, {"-12", 0}, {"0x1F", 0}, {"", 0}, {":1234", 0}};
  for (const auto& [text, handle] : handles) EXPECT_EQ(ParseWindowHandle(text), handle) << text;
}

// What ReadSaverArguments says of `args` after the program's name: "" when
// it reads them, else its reason ("?" when it gives none).
std::string Read(std::vector<const char*> args, const char* hosted, SaverArguments* got) {
  args.insert(args.begin(), "quarlo");
  char why[128] = "";
  if (ReadSaverArguments(int(args.size()), args.data(), hosted, got, why, sizeof why)) return "";
  return why[0] ? why : "?";
}

// The rules between what the end-to-end tests run (each mode, the hacks'
// options, the ids, refusals of each kind): what each reads as (`hosted` is
// XSCREENSAVER_WINDOW), and what is refused, with the variable or without.
TEST(CommandLineTest, TheLinuxSaversSwitchesAndXScreenSaversConventions) {
  const struct { std::vector<const char*> args; const char* hosted; SaverMode mode; uint32_t window;
                 SaverDisplayChoice choice = DISPLAY_ANY; } cases[] = {
      {{"-c"}, "0x42", MODE_CONFIG, 0},  // an explicit mode wins over the variable
      {{"/S"}, nullptr, MODE_FULL_SCREEN, 0},        {{"/l", "0x4a"}, nullptr, MODE_PREVIEW, 0x4a},
      {{}, "junk", MODE_CONFIG, 0},                  {{"-window"}, "0x1234", MODE_WINDOW, 0},
      {{"--window-id", "0X1fFfFfFf"}, nullptr, MODE_WINDOW_ID, 0x1fffffff},
      {{"--root", "-h"}, nullptr, MODE_HELP, 0},
      {{"-wayland", "-s"}, nullptr, MODE_FULL_SCREEN, 0, DISPLAY_WAYLAND},
      {{"--window", "-x11"}, nullptr, MODE_WINDOW, 0, DISPLAY_X11},
      // XScreenSaver's panel previews with --root --window-id; the id wins, and -root wins over -window.
      {{"--root", "--window-id", "0x605100"}, "0x42", MODE_WINDOW_ID, 0x605100},
      {{"-window", "-root"}, "0x42", MODE_ROOT, 0x42},
  };
  for (const auto& c : cases) {
    SaverArguments got;
    const std::string said = Read(c.args, c.hosted, &got);
    EXPECT_TRUE(said == "" && got.mode == c.mode && got.window == c.window &&
                got.choice == c.choice) << testing::PrintToString(c.args) << ": " << said;
  }
  const std::vector<const char*> refused[] = {
      {"-window-id", "0x20000000"},  // past an X id's 29 bits
      {"-window-id", "12a"}, {"-window-id", "0x"}, {"-window-id", "0"}, {"-window-id"},
      {"-scr"},  // the Windows saver's sloppy letters stay out
      {"-"}, {"-display"}, {"root"}, {"-root", "-visual"}, {"-window-id", "7", "-p", "8"},
      {"-x11", "-wayland", "-s"}, {"-wayland", "-c"}, {"-wayland"},
      {"-wayland", "-root"},  // X windows stay on X
  };
  for (const auto& args : refused) {
    for (const char* hosted : {static_cast<const char*>(nullptr), "0x42"}) {
      SaverArguments got;
      const std::string said = Read(args, hosted, &got);
      EXPECT_TRUE(said != "" && said != "?")
          << testing::PrintToString(args) << (hosted ? " hosted" : "");
    }
  }
}

TEST(CommandLineTest, TheHacksVisualAndGeometry) {
  const struct { const char* text; bool ok; SaverVisualKind kind; uint32_t value; } visuals[] = {
      {"best", true, VISUAL_BEST, 0},       {"Default", true, VISUAL_DEFAULT, 0},
      {"TRUECOLOR", true, VISUAL_CLASS, 4}, {"PseudoColor", true, VISUAL_CLASS, 3},
      {"grey", true, VISUAL_CLASS, 1},      {"0x21", true, VISUAL_ID, 0x21},
      {"33", true, VISUAL_ID, 33},          {"0", false, VISUAL_ID, 0},
      {"truecolour", false, VISUAL_ID, 0},  {"", false, VISUAL_ID, 0}};
  for (const auto& v : visuals) {
    SaverVisualRequest got;
    EXPECT_EQ(ParseVisualRequest(v.text, &got), v.ok) << v.text;
    EXPECT_TRUE(!v.ok || (got.kind == v.kind && got.value == v.value)) << v.text;
  }
  const struct { const char* text; bool ok; SaverGeometry want; } geometries[] = {
      {"640x480+10+20", true, {true, true, 640, 480, 10, 20, false, false}},
      {"=300X200", true, {true, false, 300, 200, 0, 0, false, false}},
      {"-5-0", true, {false, true, 0, 0, 5, 0, true, true}},
      {"640x480", true, {true, false, 640, 480, 0, 0, false, false}},
      {"0x480", false, {}}, {"640x480+10", false, {}}, {"640x480+10+20+", false, {}},
      {"123456x10", false, {}}, {"x480", false, {}}, {"", false, {}}, {"=", false, {}}};
  const auto fields = [](const SaverGeometry& g) {
    return std::tuple(g.has_size, g.has_place, g.width, g.height, g.x, g.y, g.x_from_right,
                      g.y_from_bottom);
  };
  for (const auto& g : geometries) {
    SaverGeometry got;
    EXPECT_EQ(ParseGeometry(g.text, &got), g.ok) << g.text;
    EXPECT_TRUE(!g.ok || fields(got) == fields(g.want)) << g.text;
  }
}

}  // namespace
