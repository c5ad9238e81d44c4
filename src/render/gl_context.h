// What the portable drawing needs from the platform's context layer.
#pragma once

#include <cstdint>

// The client size measured when the context was made.
extern int32_t ClientWidth;
extern int32_t ClientHeight;

// Presents the frame just drawn (each platform's context file has one).
void SwapFrameBuffers();

// For frames drawn only where they changed (not on Windows, which presents
// every frame whole): how many frames back the back buffer's contents are
// (1: the last frame; 0: unknown, so the frame is drawn whole), and the
// presentation of the part of the frame that was drawn.
int32_t BackBufferAge();
void PresentFrameRect(int32_t x, int32_t y, int32_t width, int32_t height);
