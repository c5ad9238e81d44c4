// Drawing one frame of the show, and the projection set once at setup.
#pragma once

#include <cstdint>

#include "render/damage.h"

void SetProjection(int32_t width, int32_t height);
// Draws the background and the 26 cubies and presents the frame.
void DrawFrame();
// Draws the frame without presenting it.
void DrawFrameContents();

// Draws the frame, unpresented, in `rect` of the drawable (pixels from its
// bottom left) with a projection for the rectangle's own size, touching only
// the pixels inside `clip`; the scissor is left off, its box on `clip`.
void DrawFrameInRect(const PixelRect& rect, const PixelRect& clip);

// Draws the measured frame (MeasureCubies) in the view `rect` of the drawable
// (pixels from its bottom left), with a projection for its size, where it
// differs from the frame the back buffer held `age` frames back (0:
// unknown, so all of the view) and in `extra` (view pixels), where the
// caller draws over it; the part drawn, in drawable pixels, for the caller
// to present (none when nothing changed). The viewport stays the view's
// and the scissor's box the part drawn.
PixelRect DrawViewChanges(ViewDamage* view, const PixelRect& rect, int32_t age,
                          const PixelRect& extra);
