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

namespace {

// X's visual classes by the names the hacks take, and the class each means.
const struct {
  const char* name;
  uint32_t visual_class;
} kVisualClasses[] = {{"staticgray", 0}, {"grayscale", 1}, {"staticcolor", 2},
                      {"pseudocolor", 3}, {"truecolor", 4}, {"directcolor", 5},
                      {"mono", 0},        {"gray", 1},      {"grey", 1},
                      {"color", 4},       {"colour", 4}};

bool SameWord(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if ((*a | 0x20) != *b) return false;
  }
  return *a == *b;
}

// Digits from *p (at least one, at most 5: no window is larger); false else.
bool ReadNumber(const char** p, int32_t* value) {
  int32_t n = 0, digits = 0;
  for (; **p >= '0' && **p <= '9'; ++*p) {
    if (++digits > 5) return false;
    n = n * 10 + (**p - '0');
  }
  *value = n;
  return digits > 0;
}

// "+N" or "-N" at *p.
bool ReadOffset(const char** p, int32_t* value, bool* negative) {
  if (**p != '+' && **p != '-') return false;
  *negative = **p == '-';
  ++*p;
  return ReadNumber(p, value);
}

// The modes of XScreenSaver's conventions given so far; the strongest wins.
struct HackModes {
  bool root = false, window = false;
  uint32_t window_id = 0;
};

}  // namespace

bool ParseVisualRequest(const char* text, SaverVisualRequest* request) {
  *request = SaverVisualRequest();
  if (!text) return false;
  if (SameWord(text, "best")) return true;
  if (SameWord(text, "default")) {
    request->kind = VISUAL_DEFAULT;
    return true;
  }
  for (const auto& c : kVisualClasses) {
    if (SameWord(text, c.name)) {
      request->kind = VISUAL_CLASS;
      request->value = c.visual_class;
      return true;
    }
  }
  request->value = ParseWindowId(text);  // visual ids are X ids too
  request->kind = VISUAL_ID;
  return request->value != 0;
}

bool ParseGeometry(const char* text, SaverGeometry* geometry) {
  *geometry = SaverGeometry();
  if (!text) return false;
  const char* p = text + (text[0] == '=');
  if (*p >= '0' && *p <= '9') {
    if (!ReadNumber(&p, &geometry->width) || (*p != 'x' && *p != 'X')) return false;
    ++p;
    if (!ReadNumber(&p, &geometry->height) || !geometry->width || !geometry->height) return false;
    geometry->has_size = true;
  }
  if (*p) {
    if (!ReadOffset(&p, &geometry->x, &geometry->x_from_right) ||
        !ReadOffset(&p, &geometry->y, &geometry->y_from_bottom)) {
      return false;
    }
    geometry->has_place = true;
  }
  return *p == '\0' && (geometry->has_size || geometry->has_place);
}

bool ReadSaverArguments(int argc, const char* const* argv, const char* hosted,
                        SaverArguments* out, char* error, size_t error_size) {
  *out = SaverArguments();
  const char* switch_letter = nullptr;  // the Windows switch (or -lock) given, if any
  HackModes hack;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (IsOption(arg, "display") || IsOption(arg, "visual") || IsOption(arg, "geometry") ||
        IsOption(arg, "window-id")) {
      if (!value) return Fail(error, error_size, "missing value after", arg);
      ++i;
      if (IsOption(arg, "display")) {
        out->display = value;
      } else if (IsOption(arg, "visual")) {
        if (!ParseVisualRequest(value, &out->visual)) {
          return Fail(error, error_size, "-visual takes a class name, default or an id", value);
        }
      } else if (IsOption(arg, "geometry")) {
        if (!ParseGeometry(value, &out->geometry)) {
          return Fail(error, error_size, "-geometry takes WIDTHxHEIGHT+X+Y", value);
        }
      } else {
        hack.window_id = ParseWindowId(value);
        if (!hack.window_id) return Fail(error, error_size, "not a window id", value);
      }
    } else if (IsOption(arg, "x11") || IsOption(arg, "wayland")) {
      const SaverDisplayChoice choice = IsOption(arg, "x11") ? DISPLAY_X11 : DISPLAY_WAYLAND;
      if (out->choice != DISPLAY_ANY && out->choice != choice) {
        return Fail(error, error_size, "only one of -x11 and -wayland may be given", arg);
      }
      out->choice = choice;
    } else if (IsOption(arg, "sync")) {
      out->sync = true;
    } else if (IsOption(arg, "f")) {
      out->background = true;
    } else if (IsOption(arg, "lock")) {
      if (switch_letter) return Fail(error, error_size, "only one mode may be given", arg);
      switch_letter = arg;
      out->mode = MODE_LOCK;
    } else if (IsOption(arg, "install") || IsOption(arg, "noinstall") || IsOption(arg, "mono") ||
               IsOption(arg, "pair")) {
      // Colormaps are the server's business on true-colour displays, the
      // show is drawn in colour, and a preview is shown once.
    } else if (IsOption(arg, "root")) {
      hack.root = true;
    } else if (IsOption(arg, "window")) {
      hack.window = true;
    } else if (IsOption(arg, "h") || IsOption(arg, "help")) {
      out->mode = MODE_HELP;  // whatever else was asked for
      return true;
    } else if (IsOption(arg, "version")) {
      out->mode = MODE_VERSION;
      return true;
    } else if (IsSwitchLetter(arg)) {
      if (switch_letter) return Fail(error, error_size, "only one mode may be given", arg);
      switch_letter = arg;
      const char* ignored = nullptr;
      switch (ParseSaverSwitch(arg, &ignored)) {
        case SWITCH_SAVER: out->mode = MODE_FULL_SCREEN; break;
        case SWITCH_CONFIG: out->mode = MODE_CONFIG; break;
        case SWITCH_PREVIEW:
          out->mode = MODE_PREVIEW;
          if (!value) return Fail(error, error_size, "missing window id after", arg);
          out->window = ParseWindowId(value);
          if (!out->window) return Fail(error, error_size, "not a window id", value);
          ++i;
          break;
        case SWITCH_PASSWORD:
          out->mode = MODE_PASSWORD;
          if (value && ParseWindowId(value)) ++i;  // the owner window the Windows saver would take
          break;
        default: return Fail(error, error_size, "unknown switch", arg);
      }
    } else {
      return Fail(error, error_size, "unknown argument", arg);
    }
  }
  const bool hack_mode = hack.window_id || hack.root || hack.window;
  if (switch_letter && hack_mode) {
    return Fail(error, error_size, "only one mode may be given", switch_letter);
  }
  const uint32_t host = ParseWindowId(hosted);
  if (hack.window_id) {
    out->mode = MODE_WINDOW_ID;
    out->window = hack.window_id;
  } else if (hack.root) {
    out->mode = MODE_ROOT;
    out->window = host;
  } else if (hack.window) {
    out->mode = MODE_WINDOW;
  } else if (!switch_letter && host) {
    out->mode = MODE_WINDOW_ID;
    out->window = host;
  }
  // The other modes name X windows, or need no display of the saver's.
  if (out->choice == DISPLAY_WAYLAND && out->mode != MODE_FULL_SCREEN && out->mode != MODE_WINDOW &&
      out->mode != MODE_LOCK) {
    return Fail(error, error_size, "-wayland goes with -s, -window or -lock only", "-wayland");
  }
  if (out->mode == MODE_LOCK && out->choice == DISPLAY_X11) {
    return Fail(error, error_size, "-lock locks a Wayland session; on X, XScreenSaver locks", "-x11");
  }
  if (out->background && out->mode != MODE_LOCK) {
    return Fail(error, error_size, "-f goes with -lock only", "-f");
  }
  return true;
}
