// The cube saver's window procedure on Linux, the same for the X11 and the
// Wayland front end: settings and front-face pictures at creation, the scene
// at the first paint, one show tick per timer tick drawn on every surface
// through the drawing its front end handed over, and teardown at the end.
#pragma once

#include <cstdint>

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
