// The cube saver's window procedure on Linux, the same for the X11 and the
// Wayland front end: settings and front-face pictures at creation, the scene
// at the first paint, one show tick per timer tick drawn on every surface,
// and teardown at the end. Each front end's glue gives it a context and a
// way to show what was drawn on a surface.
#pragma once

#include <cstdint>

#include "render/damage.h"

extern int32_t FirstPaintSeen;  // set by the first paint, never cleared

// Settings given on the command line for this run only, laid over the
// stored ones at creation (XScreenSaver's settings panel passes them).
struct SettingOverrides {
  int32_t explode = -1;        // 0 or 1; -1: as stored
  int32_t displacement = 0;    // 30, 50 or 70; 0: as stored
  const char* texture = nullptr;  // a picture for the front face; null: as stored
  int32_t delay_us = -1;          // the pause between frames; -1: the show's 50 ms
  int32_t show_fps = 0;           // 1: the frame rate drawn over the show
};
extern SettingOverrides CommandLineSettings;

// A front end's glue: one context for all its surfaces, made current on
// each in turn.
struct SurfaceDrawing {
  bool (*make_context)();  // false: nothing is drawn, the rules still end the run
  void (*drop_context)();  // the lists and textures go with it
  // Makes the context current on surface i; the age of its back buffer in
  // frames (0: unknown), or -1 when it can't be drawn on now.
  int32_t (*begin_surface)(int32_t i);
  void (*present_surface)(int32_t i, const PixelRect& drawn);
  void (*end_frame)();  // after every surface had its turn
};
extern const SurfaceDrawing X11SurfaceDrawing;
extern const SurfaceDrawing WaylandSurfaceDrawing;
