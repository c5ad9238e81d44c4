// What the portable drawing needs from the platform's context layer.
#pragma once

#include <cstdint>

// The client size measured when the context was made.
extern int32_t ClientWidth;
extern int32_t ClientHeight;

// Presents the frame just drawn (each platform's context file has one).
void SwapFrameBuffers();
