// The full-screen window spans every monitor; each monitor shows the show
// in its own rectangle with a projection of its own, as one screen would.
#pragma once

#include <windows.h>

#include <cstdint>

#include "render/damage.h"

enum : int32_t { kMostMonitors = 16 };

// The monitors' rectangles in the window's drawable (pixels from the client
// area's bottom left). No entries, and one picture over the whole window,
// with a single monitor, in a preview, without the system's monitor
// enumeration (Windows 95, NT 4), or with more monitors than the table
// holds: the show then spans them all rather than leave any blank.
extern PixelRect MonitorViews[kMostMonitors];
extern int32_t MonitorViewCount;

// Reads the monitors and where the window's client area lies among them.
void TakeMonitorViews(HWND window);
// After a display change: the monitors again, and the client size with the
// whole window's projection for a single one.
void FollowDisplayChange(HWND window);
// Draws the frame in each monitor's rectangle and presents them together.
void DrawMonitorFrames();
