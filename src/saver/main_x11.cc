// The Linux saver's process start: the cube's own options (those XScreenSaver's
// settings panel passes) are taken out of the command line; the rest goes to
// the shell, which runs the mode and gives the exit code.
#include <cstdint>
#include <cstring>

#include "saver/cube_window.h"
#include "settings/dialog_model.h"
#include "settings/settings.h"
#include "shell/saver_arguments.h"
#include "shell/saver_shell_x11.h"

namespace {

const char kUsage[] =
    "usage: quarlo [-s | -c | -p ID | -l ID | -root | -window | -window-id ID | -lock [-f]]\n"
    "              [-explode | -no-explode] [-size large|medium|small] [-texture FILE]\n"
    "              [-delay USEC] [-fps | -no-fps] [-visual ID|CLASS|default]\n"
    "              [-geometry WxH+X+Y] [-sync] [-install | -noinstall] [-mono] [-pair]\n"
    "              [-display NAME | -x11 | -wayland] [--version]\n"
    "  -s              full screen; a key, a button, a move of the pointer or the\n"
    "                  loss of the focus ends it\n"
    "  -c, nothing     the settings dialog\n"
    "  -p ID, -l ID    draw into the window ID (decimal or 0x hexadecimal)\n"
    "  -root           the root window, or XScreenSaver's (XSCREENSAVER_WINDOW)\n"
    "  -window         a window of its own\n"
    "  -x11, -wayland  -s and -window on that display system; without either,\n"
    "                  on Wayland when a compositor answers, else on X\n"
    "  -window-id ID   draw into the window ID\n"
    "  -lock           lock the Wayland session (ext-session-lock-v1) with the show\n"
    "                  on every output, until the user's password opens it\n"
    "  -f              with -lock: to the background once the session is locked\n"
    "  -explode, -no-explode, -size, -texture\n"
    "                  this run's settings in place of the stored ones (FILE: a\n"
    "                  picture, BMP, PNG or JPEG)\n"
    "  -delay USEC     the pause between frames (50000: the show's own pace)\n"
    "  -fps            the frame rate, the load and the polygons in a corner\n"
    "  -visual V       the visual of the windows it makes on X\n"
    "  -geometry G     the size and place of -window's window\n"
    "  -sync           X requests one at a time (for debugging)\n"
    "  -install, -noinstall, -mono, -pair\n"
    "                  taken as every XScreenSaver hack takes them; nothing here";

bool Fail(const char* what, const char* arg) {
  SayProblem("%s%s%s\n%s", what, arg ? ": " : "", arg ? arg : "", kUsage);
  return false;
}

// -delay's microseconds, or -1 for what isn't a whole number up to 10 s.
int32_t ParseDelay(const char* text) {
  int64_t n = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9' || (n = n * 10 + (*p - '0')) > 10000000) return -1;
  }
  return *text ? int32_t(n) : -1;
}

// Takes the cube's options out of argv; false, having said why, on a bad one.
bool TakeSettingOptions(int* argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < *argc ? argv[i + 1] : nullptr;
    SettingOverrides& o = CommandLineSettings;
    if (IsOption(arg, "explode") || IsOption(arg, "no-explode")) {
      o.explode = IsOption(arg, "explode") ? 1 : 0;
    } else if (IsOption(arg, "size")) {
      const struct {
        const char* name;
        int32_t displacement;
      } sizes[] = {{"large", kLargeDisplacement},
                   {"medium", kMediumDisplacement},
                   {"small", kSmallDisplacement}};
      o.displacement = 0;
      for (const auto& size : sizes) {
        if (value && std::strcmp(value, size.name) == 0) o.displacement = size.displacement;
      }
      if (!o.displacement) return Fail("-size takes large, medium or small", value);
      ++i;
    } else if (IsOption(arg, "delay")) {
      o.delay_us = value ? ParseDelay(value) : -1;
      if (o.delay_us < 0) return Fail("-delay takes microseconds, 0 to 10000000", value);
      ++i;
    } else if (IsOption(arg, "fps") || IsOption(arg, "no-fps")) {
      o.show_fps = IsOption(arg, "fps") ? 1 : 0;
    } else if (IsOption(arg, "texture")) {
      if (!value || !*value) return Fail("missing file after", arg);
      if (std::strlen(value) >= kTexturePathBytes) return Fail("the path is too long", value);
      o.texture = value;
      ++i;
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  argv[kept] = nullptr;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!TakeSettingOptions(&argc, argv)) return SAVER_EXIT_USAGE;
  return SaverMain(argc, argv, kUsage);
}
