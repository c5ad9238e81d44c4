// Drawing one frame of the show, and the projection set once at setup.
#pragma once

#include <cstdint>

#include "render/damage.h"

void SetProjection(int32_t width, int32_t height);
// Draws the background and the 26 cubies and presents the frame.
void DrawFrame();
// Draws the frame without presenting it.
void DrawFrameContents();

// Draws only where the frame differs from the one before, over what the back
// buffer still holds, and presents that part (the whole frame where the
// context keeps no back buffer to draw over). The same pixels as DrawFrame.
void DrawChangedFrame();
// The next changed frame is drawn and presented whole (after a resize, or
// when the window was uncovered).
void RedrawWholeFrame();

// Draws the frame, unpresented, in `rect` of the drawable (pixels from its
// bottom left) with a projection for the rectangle's own size, touching only
// the pixels inside `clip`; the scissor is left off, its box on `clip`.
void DrawFrameInRect(const PixelRect& rect, const PixelRect& clip);

// One picture of the show in a rectangle of the drawable (pixels from its
// bottom left), with the cube's rectangles of the view's last frames.
struct FrameView {
  PixelRect rect;
  DamageHistory history;
};
// Draws in the view, with a projection for its size, where this frame
// differs from the one the back buffer held `age` frames back (0: unknown,
// so all of the view); the part drawn, in drawable pixels, for the caller to
// present. A view whose rectangle changed is drawn whole.
PixelRect DrawViewChanges(FrameView* view, const PixelRect& rect, int32_t age);
