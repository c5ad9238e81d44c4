// What the portable drawing needs from the platform's context layer.
#pragma once

// Presents the frame just drawn (each platform's context file has one).
void SwapFrameBuffers();
