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

// Drawing over a view in its pixels, (0, 0) at the bottom left, with no
// depth test, culling or texture: the figures here and the lock screen's
// indicator. `attributes` are GL attribute bits kept beside the enables and
// the colour; End puts all back.
void BeginPixelOverlay(int32_t width, int32_t height, uint32_t attributes);
void EndPixelOverlay();
