// Drawing one frame of the show, and the projection set once at setup.
#pragma once

#include <cstdint>

void SetProjection(int32_t width, int32_t height);
// Draws the background and the 26 cubies and presents the frame.
void DrawFrame();
