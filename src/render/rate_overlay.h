// What XScreenSaver's hacks show with -fps: the frame rate, the process's
// load and the polygons of a frame, in the bottom-left corner of each view,
// in a blocky font scaled to the view so that it reads at any size.
#pragma once

#include <cstdint>

#include "render/damage.h"

// Whether the figures are drawn (the Linux saver's -fps); 0 at start.
extern int32_t RateOverlayShown;

// Counts one frame shown; the figures are renewed once a second.
void CountShownFrame();
// Where the figures lie in a view of width x height, from its bottom left.
PixelRect RateOverlayRect(int32_t width, int32_t height);
// Draws them over the view whose viewport is set; the matrices and the
// state it changes are put back.
void DrawRateOverlay(int32_t width, int32_t height);
// The figures' text as drawn now, three lines (for tests).
const char* RateOverlayText();
