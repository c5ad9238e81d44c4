// The Linux saver's command line: the Windows switch letters with their
// meanings, XScreenSaver's conventions (-root, -window, -window-id, the
// XSCREENSAVER_WINDOW variable), -display, and -x11 or -wayland. Pure text
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
  MODE_HELP,         // -h, -help, --help
  MODE_VERSION,      // -version, --version
};

// Which display system -s and -window use: the Wayland compositor when one
// answers, else X; or the one asked for with -x11 or -wayland.
enum SaverDisplayChoice : int32_t { DISPLAY_ANY, DISPLAY_X11, DISPLAY_WAYLAND };

struct SaverArguments {
  SaverMode mode = MODE_CONFIG;
  SaverDisplayChoice choice = DISPLAY_ANY;
  uint32_t window = 0;            // the window to draw into; 0 for the saver's own or the root
  const char* display = nullptr;  // -display NAME
};

// Whether arg is the option "-name" or "--name".
bool IsOption(const char* arg, const char* name);

// An X window id, decimal or 0x hexadecimal, the whole text; 0 for none.
uint32_t ParseWindowId(const char* text);

// Reads argv (argv[0] is the program). `hosted` is XSCREENSAVER_WINDOW (or
// null): it names the window for -root and, with no mode given, is drawn
// into. False, with a one-line reason, for anything else.
bool ReadSaverArguments(int argc, const char* const* argv, const char* hosted,
                        SaverArguments* arguments, char* error, size_t error_size);
