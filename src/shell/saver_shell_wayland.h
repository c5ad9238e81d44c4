// The screen-saver shell on Wayland: in full screen a layer surface over
// every output (or, without the layer shell, one full-screen toplevel), in
// -window an ordinary toplevel; the event loop with the 50 ms timer, and the
// rules that end a full-screen saver. The program plugs in its procedure
// (saver_run.h).
#pragma once

#include <wayland-client.h>

#include <cstdint>

#include "shell/saver_arguments.h"
#include "shell/saver_run.h"

extern wl_display* SaverWaylandDisplay;

// Runs -s, -window (its first size from -geometry; a compositor places
// windows itself) or -lock on a connected display, and disconnects it; the
// exit code. With -lock, a byte goes to `locked_signal` (when not -1) once
// the session is locked.
int32_t RunWaylandSaver(wl_display* display, const SaverArguments& arguments, int locked_signal);
