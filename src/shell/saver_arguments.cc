#include "shell/saver_arguments.h"

#include <cstdio>
#include <cstring>

#include "shell/command_line.h"

namespace {

// A switch of the Windows saver: "-x" or "/x" with one letter.
bool IsSwitchLetter(const char* arg) {
  return (arg[0] == '-' || arg[0] == '/') && arg[1] != '\0' && arg[2] == '\0';
}

bool Fail(char* error, size_t size, const char* what, const char* arg) {
  std::snprintf(error, size, "%s%s%s", what, arg ? ": " : "", arg ? arg : "");
  return false;
}

}  // namespace

bool IsOption(const char* arg, const char* name) {
  if (arg[0] != '-') return false;
  if (arg[1] == '-') ++arg;
  return std::strcmp(arg + 1, name) == 0;
}

uint32_t ParseWindowId(const char* text) {
  if (!text || !*text) return 0;
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* p = hex ? text + 2 : text;
  if (!*p) return 0;
  uint64_t value = 0;
  for (; *p; ++p) {
    int digit;
    if (*p >= '0' && *p <= '9') {
      digit = *p - '0';
    } else if (hex && (*p | 0x20) >= 'a' && (*p | 0x20) <= 'f') {
      digit = (*p | 0x20) - 'a' + 10;
    } else {
      return 0;
    }
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > 0x1FFFFFFF) return 0;  // X ids have 29 bits
  }
  return static_cast<uint32_t>(value);
}

bool ReadSaverArguments(int argc, const char* const* argv, const char* hosted,
                        SaverArguments* out, char* error, size_t error_size) {
  *out = SaverArguments();
  bool have_mode = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    SaverMode mode;
    bool takes_window = false;
    if (IsOption(arg, "display")) {
      if (!value) return Fail(error, error_size, "missing display name after", arg);
      out->display = value;
      ++i;
      continue;
    } else if (IsOption(arg, "x11") || IsOption(arg, "wayland")) {
      const SaverDisplayChoice choice = IsOption(arg, "x11") ? DISPLAY_X11 : DISPLAY_WAYLAND;
      if (out->choice != DISPLAY_ANY && out->choice != choice) {
        return Fail(error, error_size, "only one of -x11 and -wayland may be given", arg);
      }
      out->choice = choice;
      continue;
    } else if (IsOption(arg, "root")) {
      mode = MODE_ROOT;
    } else if (IsOption(arg, "window")) {
      mode = MODE_WINDOW;
    } else if (IsOption(arg, "window-id")) {
      mode = MODE_WINDOW_ID;
      takes_window = true;
    } else if (IsOption(arg, "h") || IsOption(arg, "help")) {
      out->mode = MODE_HELP;  // whatever else was asked for
      return true;
    } else if (IsOption(arg, "version")) {
      out->mode = MODE_VERSION;
      return true;
    } else if (IsSwitchLetter(arg)) {
      const char* ignored = nullptr;
      switch (ParseSaverSwitch(arg, &ignored)) {
        case SWITCH_SAVER: mode = MODE_FULL_SCREEN; break;
        case SWITCH_CONFIG: mode = MODE_CONFIG; break;
        case SWITCH_PREVIEW: mode = MODE_PREVIEW; takes_window = true; break;
        case SWITCH_PASSWORD: mode = MODE_PASSWORD; break;
        default: return Fail(error, error_size, "unknown switch", arg);
      }
    } else {
      return Fail(error, error_size, "unknown argument", arg);
    }
    if (have_mode) return Fail(error, error_size, "only one mode may be given", arg);
    have_mode = true;
    out->mode = mode;
    if (takes_window) {
      if (!value) return Fail(error, error_size, "missing window id after", arg);
      out->window = ParseWindowId(value);
      if (!out->window) return Fail(error, error_size, "not a window id", value);
      ++i;
    } else if (mode == MODE_PASSWORD && value && ParseWindowId(value)) {
      ++i;  // the owner window the Windows saver would take
    }
  }
  const uint32_t host = ParseWindowId(hosted);
  if (!have_mode && host) out->mode = MODE_WINDOW_ID;
  if ((!have_mode && host) || out->mode == MODE_ROOT) out->window = host;
  // The other modes name X windows, or need no display of the saver's.
  if (out->choice == DISPLAY_WAYLAND && out->mode != MODE_FULL_SCREEN && out->mode != MODE_WINDOW) {
    return Fail(error, error_size, "-wayland goes with -s or -window only", "-wayland");
  }
  return true;
}
