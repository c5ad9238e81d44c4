// The screen-saver shell on Wayland: in full screen a layer surface over
// every output (or, without the layer shell, one full-screen toplevel), in
// -window an ordinary toplevel; the event loop with the 50 ms timer, and the
// rules that end a full-screen saver. The program plugs in its procedure
// (saver_run.h) and lets go of what it made on a surface when asked.
#pragma once

#include <wayland-client.h>

#include <cstdint>

#include "shell/saver_arguments.h"
#include "shell/saver_run.h"

extern wl_display* SaverWaylandDisplay;
extern wl_shm* SaverWaylandShm;  // none when the compositor offers no shared memory

// The wl_surface of surface slot i; none when the slot is empty.
wl_surface* SaverWaylandSurface(int32_t i);

// Plug-in point: slot i's wl_surface is about to be destroyed (its output
// went away, or the run ends); whatever was made on it must go first.
void SaverSurfaceGoing(int32_t i);

// Runs -s (full_screen) or -window (its first size from -geometry; a
// compositor places windows itself) on a connected display, and
// disconnects it; the exit code.
int32_t RunWaylandSaver(wl_display* display, bool full_screen, const SaverGeometry& geometry);
