// The screen-saver shell on X11: the command line, the saver window of each
// mode, the event loop with its 50 ms timer, and the rules that end a
// full-screen saver. The program plugs in its saver window procedure and its
// settings dialog.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>

#include "shell/saver_arguments.h"
#include "shell/saver_run.h"

// Plug-in points, supplied by the program (and CubeSaverProc).
// Runs the settings dialog on the X display named (null: the session's):
// 1 after OK, 0 after Cancel, -1 when it can't be shown.
int32_t RunConfigDialog(const char* display);

// Shell state, set before the program's procedure first sees the window.
extern Display* SaverDisplay;
extern Window SaverWindow;
extern int32_t SaverWidth;
extern int32_t SaverHeight;
// Whether any of the window can be seen: mapped (with the window it covers)
// and not fully covered. While it can't, frames are neither drawn nor shown.
extern int32_t SaverVisible;
// The window another program made that SaverWindow, a child of ours,
// covers; none when the shell draws into the window it was given.
extern Window SaverHost;

// The steps of a start in a window another program made, after each of
// which that window may go away; tests stop there. Null in the saver.
enum SaverStartStep : int32_t {
  SAVER_START_FOUND,     // the window is there, and its going away will be heard of
  SAVER_START_MEASURED,  // its size is read
  SAVER_START_CREATED,   // the program has seen SAVER_CREATE
  SAVER_START_PAINTED,   // ... and its first SAVER_PAINT
};
extern void (*SaverStartHook)(SaverStartStep step);

// The process's work: reads the command line and runs the mode; the exit code.
int32_t SaverMain(int argc, char** argv, const char* usage);

// The event loop of a window made ready by SaverMain; returns when the saver
// ends (input in full screen, a close by the window manager, the window gone,
// SIGTERM or SIGINT). A window of the shell's own is mapped first and drawn
// at its first expose; one of another program's at once.
void RunSaverLoop(bool ends_on_input, Atom close_request, bool own_window);
