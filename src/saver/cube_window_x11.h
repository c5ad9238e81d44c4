// The cube saver's window procedure on X11 and the state it keeps between
// events: the Windows twin's lifecycle on the shell's X events.
#pragma once

#include <GL/glx.h>

#include <cstdint>

extern int32_t FirstPaintSeen;  // set by the first paint, never cleared
extern GLXContext GLContext;

// Settings given on the command line for this run only, laid over the
// stored ones at creation (XScreenSaver's settings panel passes them).
struct SettingOverrides {
  int32_t explode = -1;        // 0 or 1; -1: as stored
  int32_t displacement = 0;    // 30, 50 or 70; 0: as stored
  const char* texture = nullptr;  // a picture for the front face; null: as stored
};
extern SettingOverrides CommandLineSettings;
