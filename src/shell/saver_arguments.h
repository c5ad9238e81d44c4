// The Linux saver's command line: the Windows switch letters with their
// meanings, XScreenSaver's conventions (-root, -window, -window-id, the
// XSCREENSAVER_WINDOW variable) and the options every XScreenSaver hack
// takes (-visual, -install, -noinstall, -mono, -pair, and for -window the X
// toolkit's -geometry and -sync), -display, and -x11 or -wayland. Pure text
// handling.
#pragma once

#include <cstddef>
#include <cstdint>

enum SaverMode : int32_t {
  MODE_CONFIG,       // -c, or nothing: the settings dialog
  MODE_FULL_SCREEN,  // -s: over the whole screen, input ends it
  MODE_PREVIEW,      // -p ID or -l ID: into that window, input ignored
  MODE_PASSWORD,     // -a: the Win9x password change, not on this platform
  MODE_ROOT,         // -root: the root window, or XScreenSaver's window
  MODE_WINDOW,       // -window: a new ordinary window
  MODE_WINDOW_ID,    // -window-id ID, or XSCREENSAVER_WINDOW alone
  MODE_LOCK,         // -lock: the Wayland session locked, the show on it, until the password
  MODE_HELP,         // -h, -help, --help
  MODE_VERSION,      // -version, --version
};

// Which display system -s and -window use: the Wayland compositor when one
// answers, else X; or the one asked for with -x11 or -wayland.
enum SaverDisplayChoice : int32_t { DISPLAY_ANY, DISPLAY_X11, DISPLAY_WAYLAND };

// -visual: the visual of the windows the saver makes on X.
enum SaverVisualKind : int32_t {
  VISUAL_BEST,     // nothing given, or "best": the saver's own choice
  VISUAL_DEFAULT,  // "default": the screen's default visual
  VISUAL_CLASS,    // a class by name: `value` is its X class (StaticGray 0 ... DirectColor 5)
  VISUAL_ID,       // an id, decimal or 0x hexadecimal: `value`
};
struct SaverVisualRequest {
  SaverVisualKind kind = VISUAL_BEST;
  uint32_t value = 0;
};

// -geometry WxH+X+Y, the X toolkit's form; each part may be left out.
struct SaverGeometry {
  bool has_size = false, has_place = false;
  int32_t width = 0, height = 0;
  int32_t x = 0, y = 0;
  bool x_from_right = false, y_from_bottom = false;  // "-X", "-Y"
};

struct SaverArguments {
  SaverMode mode = MODE_CONFIG;
  SaverDisplayChoice choice = DISPLAY_ANY;
  uint32_t window = 0;            // the window to draw into; 0 for the saver's own or the root
  const char* display = nullptr;  // -display NAME
  SaverVisualRequest visual;
  SaverGeometry geometry;         // of -window
  bool sync = false;              // -sync: every X request waits for its answer
  bool background = false;        // -f, with -lock: to the background once the session is locked
};

// Whether arg is the option "-name" or "--name".
bool IsOption(const char* arg, const char* name);

// An X window id, decimal or 0x hexadecimal, the whole text; 0 for none.
uint32_t ParseWindowId(const char* text);

// -visual's text: a class name (any case), "default", "best" or an id;
// false for anything else.
bool ParseVisualRequest(const char* text, SaverVisualRequest* request);
// -geometry's text; false when it is not of that form or a size is 0.
bool ParseGeometry(const char* text, SaverGeometry* geometry);

// Reads argv (argv[0] is the program). `hosted` is XSCREENSAVER_WINDOW (or
// null): it names the window for -root and, with no mode given, is drawn
// into. Of XScreenSaver's modes, -window-id wins over -root and -root over
// -window, as in its hacks; a switch letter goes with no other mode. False,
// with a one-line reason, for anything else.
bool ReadSaverArguments(int argc, const char* const* argv, const char* hosted,
                        SaverArguments* arguments, char* error, size_t error_size);
