// Drawing one frame of the show, and the projection set once at setup.
#pragma once

#include <cstdint>

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
